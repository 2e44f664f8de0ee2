#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QTcpServer>
#include <QUrl>

// A real HTTP/1.1 server on 127.0.0.1 for tests of the lyrics service client: it answers canned
// replies by path (and "id" query item), 404 for everything else, and records every request.
// It runs on the test's own event loop, so tests wait with processEvents, never by blocking.
class LoopbackHttpServer : public QObject {
public:
    using Headers = QList<QPair<QByteArray, QByteArray>>;

    struct Request {
        QByteArray method;
        QString path;
        QByteArray rawQuery;  // as sent, still percent-encoded
        QList<QPair<QString, QString>> query;  // decoded, in the order sent
        Headers headers;  // in the order sent

        // The value of a header (names compared without case), or nothing.
        std::optional<QByteArray> header(QByteArrayView name) const;
        QString queryValue(const QString& key) const;
    };

    struct Reply {
        int status = 200;
        QByteArray body;
        Headers headers;
        bool declareLength = true;  // false: the body ends where the connection closes
        bool stall = false;  // read the request and never answer
        int dripMs = 0;  // above 0: the body goes one byte at a time, this far apart

        static Reply json(QByteArray body)
        {
            return Reply{200, std::move(body), {{"Content-Type", "application/json"}}};
        }
        static Reply withStatus(int status) { return Reply{status, "{}", {}}; }
        static Reply stalling() { return Reply{200, {}, {}, true, true}; }
        static Reply dripping(QByteArray body, int intervalMs)
        {
            return Reply{200, std::move(body), {{"Content-Type", "application/json"}}, true, false, intervalMs};
        }
    };

    LoopbackHttpServer();
    ~LoopbackHttpServer() override;

    QUrl baseUrl() const;
    // Replies to every request for path, or only to those whose "id" query item is id.
    void setReply(const QString& path, Reply reply);
    void setReply(const QString& path, const QString& id, Reply reply);

    const QList<Request>& requests() const { return m_requests; }
    QList<Request> requestsFor(const QString& path) const;
    // Connections the client has not closed yet (stalled replies keep theirs open).
    int openConnections() const { return m_openConnections; }

private:
    void accept();
    void onReadable(QTcpSocket* socket);
    void respond(QTcpSocket* socket, const Request& request);
    void drip(QTcpSocket* socket, const QByteArray& body, int intervalMs);

    QTcpServer m_server;
    QHash<QString, Reply> m_replies;  // by path, or path + "?id=" + id
    QList<Request> m_requests;
    QHash<QTcpSocket*, QByteArray> m_pending;  // bytes read before a request was whole
    int m_openConnections = 0;
};
