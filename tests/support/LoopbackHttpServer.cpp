#include "LoopbackHttpServer.h"

#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>

namespace {

LoopbackHttpServer::Request parseRequest(const QByteArray& head)
{
    LoopbackHttpServer::Request request;
    QList<QByteArray> lines = head.split('\n');
    for (QByteArray& line : lines)
        line = line.trimmed();
    const QList<QByteArray> parts = lines.value(0).split(' ');
    request.method = parts.value(0);
    const QByteArray target = parts.value(1);
    const qsizetype question = target.indexOf('?');
    request.path = QUrl::fromPercentEncoding(question < 0 ? target : target.left(question));
    if (question >= 0) {
        request.rawQuery = target.mid(question + 1);
        for (const QByteArray& item : request.rawQuery.split('&')) {
            const qsizetype equals = item.indexOf('=');
            request.query.append({QUrl::fromPercentEncoding(item.left(equals)),
                                  equals < 0 ? QString() : QUrl::fromPercentEncoding(item.mid(equals + 1))});
        }
    }
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            request.headers.append({lines[i].left(colon).trimmed(), lines[i].mid(colon + 1).trimmed()});
    }
    return request;
}

}  // namespace

std::optional<QByteArray> LoopbackHttpServer::Request::header(QByteArrayView name) const
{
    for (const auto& [key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return std::nullopt;
}

QString LoopbackHttpServer::Request::queryValue(const QString& key) const
{
    for (const auto& [k, v] : query)
        if (k == key)
            return v;
    return QString();
}

LoopbackHttpServer::LoopbackHttpServer()
{
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, &LoopbackHttpServer::accept);
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    // The sockets die with m_server, after the members their handlers use.
    for (QTcpSocket* socket : m_server.findChildren<QTcpSocket*>())
        socket->disconnect(this);
}

QUrl LoopbackHttpServer::baseUrl() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()));
}

void LoopbackHttpServer::setReply(const QString& path, Reply reply) { m_replies.insert(path, std::move(reply)); }

void LoopbackHttpServer::setReply(const QString& path, const QString& id, Reply reply)
{
    m_replies.insert(path + QStringLiteral("?id=") + id, std::move(reply));
}

QList<LoopbackHttpServer::Request> LoopbackHttpServer::requestsFor(const QString& path) const
{
    QList<Request> found;
    for (const Request& request : m_requests)
        if (request.path == path)
            found.append(request);
    return found;
}

void LoopbackHttpServer::accept()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        ++m_openConnections;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadable(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            --m_openConnections;
            m_pending.remove(socket);
            socket->deleteLater();
        });
    }
}

void LoopbackHttpServer::onReadable(QTcpSocket* socket)
{
    QByteArray& buffer = m_pending[socket];
    buffer += socket->readAll();
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    if (end < 0)
        return;
    const Request request = parseRequest(buffer.left(end));
    buffer.clear();
    m_requests.append(request);
    respond(socket, request);
}

void LoopbackHttpServer::respond(QTcpSocket* socket, const Request& request)
{
    const QString byId = request.path + QStringLiteral("?id=") + request.queryValue(QStringLiteral("id"));
    const Reply reply = m_replies.value(byId, m_replies.value(request.path, Reply::withStatus(404)));
    if (reply.stall)
        return;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + " Status\r\n";
    for (const auto& [name, value] : reply.headers)
        head += name + ": " + value + "\r\n";
    if (reply.declareLength)
        head += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    head += "Connection: close\r\n\r\n";
    socket->write(head);
    if (reply.dripMs > 0) {
        drip(socket, reply.body, reply.dripMs);
        return;
    }
    socket->write(reply.body);
    if (reply.declareLength) {
        socket->disconnectFromHost();
        return;
    }
    // Here the close ends the body. Sent at once, it can reach Qt's HTTP client before the client
    // has read a byte, which it takes for a dropped connection and sends the request again.
    QTimer::singleShot(50, socket, [socket] { socket->disconnectFromHost(); });
}

// A byte now and then, each well inside any time-out between bytes; the socket's own timer stops
// with the socket when the client gives up.
void LoopbackHttpServer::drip(QTcpSocket* socket, const QByteArray& body, int intervalMs)
{
    auto* timer = new QTimer(socket);
    connect(timer, &QTimer::timeout, socket, [socket, timer, body, sent = qsizetype(0)]() mutable {
        if (sent == body.size()) {
            timer->stop();
            socket->disconnectFromHost();
            return;
        }
        socket->write(body.sliced(sent++, 1));
    });
    timer->start(intervalMs);
}
