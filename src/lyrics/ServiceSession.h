#pragma once

#include <QNetworkAccessManager>
#include <QUrl>

#include <chrono>

class JsonRequest;

// The HTTP session every request to the lyrics service goes through: nothing stored on disk, no
// cookies sent or kept, a transfer time-out between bytes and a deadline for the whole request, and
// the service's two headers on every request.
class ServiceSession {
public:
    struct Timeouts {
        std::chrono::milliseconds transfer;  // the longest wait for the next byte
        std::chrono::milliseconds deadline;  // the longest a whole request may take
    };

    ServiceSession(QUrl base, Timeouts timeouts);

    const QUrl& baseUrl() const { return m_base; }
    // Starts a GET request for url; the request is a child of parent.
    JsonRequest* getJSON(const QUrl& url, QObject* parent);

private:
    QUrl m_base;
    Timeouts m_timeouts;
    QNetworkAccessManager m_network;
};
