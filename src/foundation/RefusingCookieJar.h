#pragma once

#include <QNetworkCookie>
#include <QNetworkCookieJar>

// A cookie jar that keeps nothing and sends nothing: no server we talk to (the lyrics service,
// artwork hosts) has any reason to recognise us from one request to the next.
class RefusingCookieJar : public QNetworkCookieJar {
public:
    using QNetworkCookieJar::QNetworkCookieJar;
    QList<QNetworkCookie> cookiesForUrl(const QUrl&) const override { return {}; }
    bool setCookiesFromUrl(const QList<QNetworkCookie>&, const QUrl&) override { return false; }
};
