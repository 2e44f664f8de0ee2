#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <optional>

class QNetworkReply;

// One GET request to the lyrics service, answered once with the reply's JSON object or nothing.
// Every failure writes its one log line: a transfer failure (no connection, time-out,
// cancellation, a body past maxBodyBytes, no whole reply by the deadline) or invalid JSON as
// "request failed", any status but 200
// as "HTTP failure". A top level that is not an object gives nothing without a line.
class JsonRequest : public QObject {
    Q_OBJECT
public:
    // A lyric reply is a few hundred KiB at most; a server sending more is broken or hostile and
    // must not be able to exhaust memory.
    static constexpr qint64 maxBodyBytes = 8 * 1024 * 1024;

    // Takes ownership of reply, which must not have finished yet. The deadline bounds the whole
    // request: the network layer's transfer time-out only bounds the wait between two bytes, so a
    // server that drips a byte now and then would otherwise hold the request open for ever.
    JsonRequest(QNetworkReply* reply, std::chrono::milliseconds deadline, QObject* parent);

    // Aborts the transfer at once; the request then answers nothing (synchronously).
    void cancel();

Q_SIGNALS:
    // Emitted once; the request deletes itself afterwards.
    void finished(const std::optional<QJsonObject>& object);

private:
    void onMetaDataChanged();
    void onReadyRead();
    void onFinished();
    void abandon(const QString& description);
    std::optional<QJsonObject> outcome();
    void answer(const std::optional<QJsonObject>& object);

    QNetworkReply* m_reply;  // child of this
    QTimer m_deadline;
    QByteArray m_body;
    bool m_answered = false;
};
