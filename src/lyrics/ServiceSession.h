#pragma once

#include <QNetworkAccessManager>
#include <QUrl>

#include <chrono>

class JsonRequest;

// The HTTP session every request to the lyrics service goes through: nothing stored on disk, no
// cookies sent or kept, a transfer time-out, and the service's two headers on every request.
class ServiceSession {
public:
    ServiceSession(QUrl base, std::chrono::milliseconds transferTimeout);

    const QUrl& baseUrl() const { return m_base; }
    // Starts a GET request for url; the request is a child of parent.
    JsonRequest* getJSON(const QUrl& url, QObject* parent);

private:
    QUrl m_base;
    std::chrono::milliseconds m_transferTimeout;
    QNetworkAccessManager m_network;
};
