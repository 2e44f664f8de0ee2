#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <optional>

class QNetworkReply;

// One GET request to a lyrics source, answered once with the reply's JSON document or nothing.
// Every failure writes its one log line: a transfer failure (no connection, time-out,
// cancellation, a body past maxBodyBytes, no whole reply by the deadline) or invalid JSON as
// "request failed", any status but 200
// as "HTTP failure". A lone scalar (valid JSON, neither object nor array) answers a null document.
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
    // A 404 then answers nothing without a log line: for a source whose "not found" is an answer.
    void setNotFoundIsQuiet() { m_notFoundIsQuiet = true; }
    // Whether the answer was nothing because of a 404; read from finished on.
    bool wasNotFound() const { return m_notFound; }

Q_SIGNALS:
    // Emitted once; the request deletes itself afterwards.
    void finished(const std::optional<QJsonDocument>& document);

private:
    void onMetaDataChanged();
    void onReadyRead();
    void onFinished();
    void abandon(const QString& description);
    std::optional<QJsonDocument> outcome();
    void answer(const std::optional<QJsonDocument>& document);

    QNetworkReply* m_reply;  // child of this
    QTimer m_deadline;
    QByteArray m_body;
    bool m_answered = false;
    bool m_notFoundIsQuiet = false;
    bool m_notFound = false;
};
