#include "lyrics/JsonRequest.h"

#include "lyrics/LyricsLog.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QNetworkReply>

namespace {

// Bounds what the network layer holds unread, so a fast sender meets the size cap early.
constexpr qint64 readBufferBytes = 1024 * 1024;

QString transferFailure(const QNetworkReply& reply)
{
    // The only aborts that reach here unannounced are the network layer's own transfer time-outs.
    if (reply.error() == QNetworkReply::OperationCanceledError)
        return QStringLiteral("the request timed out");
    return reply.errorString();
}

// Qt reads only an object or an array as a whole document, but a lone number, string, boolean or
// null is valid JSON as well: it is simply not an object, which is not a parse failure.
bool isLoneScalar(const QByteArray& body)
{
    const QJsonDocument wrapped = QJsonDocument::fromJson('[' + body + ']');
    return wrapped.isArray() && wrapped.array().size() == 1 && !wrapped.array().first().isArray()
           && !wrapped.array().first().isObject();
}

}  // namespace

JsonRequest::JsonRequest(QNetworkReply* reply, std::chrono::milliseconds deadline, QObject* parent)
    : QObject(parent)
    , m_reply(reply)
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this, deadline] {
        abandon(QStringLiteral("no whole reply within %1 s").arg(double(deadline.count()) / 1000.0));
    });
    m_deadline.start(deadline);
    m_reply->setParent(this);
    m_reply->setReadBufferSize(readBufferBytes);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &JsonRequest::onMetaDataChanged);
    connect(m_reply, &QNetworkReply::readyRead, this, &JsonRequest::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &JsonRequest::onFinished);
}

void JsonRequest::cancel() { abandon(QStringLiteral("cancelled")); }

void JsonRequest::onMetaDataChanged()
{
    bool declared = false;
    const qint64 length = m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&declared);
    if (declared && length > maxBodyBytes)
        abandon(QStringLiteral("the reply is larger than 8 MiB"));
}

void JsonRequest::onReadyRead()
{
    m_body += m_reply->readAll();
    if (m_body.size() > maxBodyBytes)
        abandon(QStringLiteral("the reply is larger than 8 MiB"));
}

void JsonRequest::onFinished()
{
    if (m_answered)
        return;
    onReadyRead();
    if (!m_answered)
        answer(outcome());
}

void JsonRequest::abandon(const QString& description)
{
    if (m_answered)
        return;
    m_reply->disconnect(this);
    m_reply->abort();
    m_body.clear();
    lyrics_log::requestFailed(description);
    answer(std::nullopt);
}

std::optional<QJsonDocument> JsonRequest::outcome()
{
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    m_notFound = status.isValid() && status.toInt() == 404;
    if (m_notFound && m_notFoundIsQuiet)
        return std::nullopt;
    if (status.isValid() && status.toInt() != 200) {
        lyrics_log::httpFailure(m_reply->url());
        return std::nullopt;
    }
    if (m_reply->error() != QNetworkReply::NoError) {
        lyrics_log::requestFailed(transferFailure(*m_reply));
        return std::nullopt;
    }
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(m_body, &parseError);
    if (parseError.error != QJsonParseError::NoError && !isLoneScalar(m_body)) {
        lyrics_log::requestFailed(
            QStringLiteral("invalid JSON: %1 at offset %2").arg(parseError.errorString()).arg(parseError.offset));
        return std::nullopt;
    }
    return document;
}

void JsonRequest::answer(const std::optional<QJsonDocument>& document)
{
    m_answered = true;
    m_deadline.stop();
    Q_EMIT finished(document);
    deleteLater();
}
