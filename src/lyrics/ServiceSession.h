#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkAccessManager>
#include <QPair>
#include <QUrl>

#include <chrono>

class JsonRequest;

// The HTTP session every request to one lyrics source goes through: nothing stored on disk, no
// cookies sent or kept, a transfer time-out between bytes and a deadline for the whole request, and
// the source's headers on every request.
class ServiceSession {
public:
    struct Timeouts {
        std::chrono::milliseconds transfer;  // the longest wait for the next byte
        std::chrono::milliseconds deadline;  // the longest a whole request may take
    };

    using Headers = QList<QPair<QByteArray, QByteArray>>;

    ServiceSession(QUrl base, Timeouts timeouts, Headers headers);

    const QUrl& baseUrl() const { return m_base; }
    // Starts a GET request for url; the request is a child of parent.
    JsonRequest* getJSON(const QUrl& url, QObject* parent);

private:
    QUrl m_base;
    Timeouts m_timeouts;
    Headers m_headers;
    QNetworkAccessManager m_network;
};
