#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <optional>

// An HTTP/1.1 server on 127.0.0.1 and the test's event loop: canned replies by path (and "id"), else 404.
class LoopbackHttpServer : public QObject {
public:
    using Headers = QList<QPair<QByteArray, QByteArray>>;

    struct Request {
        QByteArray method;
        QString path;
        QByteArray rawQuery;  // as sent, still percent-encoded
        QList<QPair<QString, QString>> query;  // decoded, in the order sent
        Headers headers;  // in the order sent

        std::optional<QByteArray> header(QByteArrayView name) const
        {
            for (const auto& [key, value] : headers)
                if (key.compare(name, Qt::CaseInsensitive) == 0)
                    return value;
            return std::nullopt;
        }
        QString queryValue(const QString& key) const
        {
            for (const auto& [k, v] : query)
                if (k == key)
                    return v;
            return QString();
        }
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

    LoopbackHttpServer()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, &LoopbackHttpServer::accept);
    }
    ~LoopbackHttpServer() override
    {
        // The sockets die with m_server, after the members their handlers use.
        for (QTcpSocket* socket : m_server.findChildren<QTcpSocket*>())
            socket->disconnect(this);
    }

    QUrl baseUrl() const { return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort())); }
    // Replies to every request for path, or only to those whose "id" query item is id.
    void setReply(const QString& path, Reply reply) { m_replies.insert(path, std::move(reply)); }
    void setReply(const QString& path, const QString& id, Reply reply) { setReply(path + "?id=" + id, reply); }

    const QList<Request>& requests() const { return m_requests; }
    QList<Request> requestsFor(const QString& path) const
    {
        QList<Request> found = m_requests;
        found.removeIf([&path](const Request& request) { return request.path != path; });
        return found;
    }
    // Connections the client has not closed yet (stalled replies keep theirs open).
    int openConnections() const { return m_openConnections; }

private:
    static Request parseRequest(const QByteArray& head)
    {
        Request request;
        const QList<QByteArray> lines = head.split('\n');
        const QList<QByteArray> parts = lines.value(0).trimmed().split(' ');
        request.method = parts.value(0);
        const QByteArray target = parts.value(1);
        const qsizetype question = target.indexOf('?');
        request.path = QUrl::fromPercentEncoding(target.left(question < 0 ? target.size() : question));
        if (question >= 0) {
            request.rawQuery = target.mid(question + 1);
            for (const QByteArray& item : request.rawQuery.split('&')) {
                const qsizetype equals = item.indexOf('=');
                request.query.append({QUrl::fromPercentEncoding(item.left(equals)),
                                      equals < 0 ? QString() : QUrl::fromPercentEncoding(item.mid(equals + 1))});
            }
        }
        for (const QByteArray& line : lines.mid(1))
            if (const qsizetype colon = line.indexOf(':'); colon > 0)
                request.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
        return request;
    }

    void accept()
    {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            ++m_openConnections;
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                QByteArray& buffer = m_pending[socket];
                buffer += socket->readAll();
                const qsizetype end = buffer.indexOf("\r\n\r\n");
                if (end < 0)
                    return;
                m_requests.append(parseRequest(buffer.left(end)));
                buffer.clear();
                respond(socket, m_requests.constLast());
            });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                --m_openConnections;
                m_pending.remove(socket);
                socket->deleteLater();
            });
        }
    }

    void respond(QTcpSocket* socket, const Request& request)
    {
        const QString byId = request.path + "?id=" + request.queryValue("id");
        const Reply reply = m_replies.value(byId, m_replies.value(request.path, Reply::withStatus(404)));
        if (reply.stall)
            return;
        QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + " Status\r\n";
        for (const auto& [name, value] : reply.headers)
            head += name + ": " + value + "\r\n";
        if (reply.declareLength)
            head += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
        socket->write(head + "Connection: close\r\n\r\n");
        if (reply.dripMs > 0) {
            // The timer is the socket's, so it stops when the client gives up.
            auto* timer = new QTimer(socket);
            connect(timer, &QTimer::timeout, socket, [socket, timer, body = reply.body, sent = qsizetype(0)]() mutable {
                if (sent == body.size()) {
                    timer->stop();
                    socket->disconnectFromHost();
                } else {
                    socket->write(body.sliced(sent++, 1));
                }
            });
            timer->start(reply.dripMs);
            return;
        }
        socket->write(reply.body);
        // A close before Qt's client has read a byte is taken for a dropped connection and retried.
        if (reply.declareLength)
            socket->disconnectFromHost();
        else
            QTimer::singleShot(50, socket, [socket] { socket->disconnectFromHost(); });
    }

    QTcpServer m_server;
    QHash<QString, Reply> m_replies;  // by path, or path + "?id=" + id
    QList<Request> m_requests;
    QHash<QTcpSocket*, QByteArray> m_pending;  // bytes read before a request was whole
    int m_openConnections = 0;
};
