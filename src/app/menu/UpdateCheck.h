#pragma once

#include "app/menu/Appcast.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <chrono>
#include <optional>

class QNetworkReply;

// What one check for updates found.
struct UpdateCheckResult {
    enum class Kind {
        notConfigured,  // this build names no feed
        upToDate,  // the feed's newest release is not newer than the running one
        available,  // release holds the newer one
        failed,  // problem says why, in words for a person
    };
    Kind kind = Kind::failed;
    QString runningVersion;
    std::optional<AppcastRelease> release;
    QString problem;
};

// The dialog's text: a title line and, for a newer release, its notes and a link.
struct UpdateMessage {
    QString title;
    QString text;  // rich text: a link is an <a href>
    QString releaseNotes;  // plain text, shown on demand
};
UpdateMessage updateMessage(const UpdateCheckResult& result);

// Asks the update feed once, asynchronously, and compares its newest release with the running
// version. It never downloads or installs anything itself. Every check writes one log line and
// answers once. Main thread.
class UpdateCheck : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds defaultTimeout{15000};
    // A feed is a few KiB; anything this large is not one.
    static constexpr qint64 maxFeedBytes = 4 * 1024 * 1024;

    // An empty feed address means the build has no update feed.
    UpdateCheck(QUrl feed, QString runningVersion, std::chrono::milliseconds timeout = defaultTimeout,
                QObject* parent = nullptr);

    // Starts a check; while one is in flight, another start does nothing.
    void start();
    bool isRunning() const { return !m_reply.isNull() || m_answerQueued; }

Q_SIGNALS:
    void finished(const UpdateCheckResult& result);

private:
    void onFinished();
    void answer(UpdateCheckResult result, const QString& logLine);

    const QUrl m_feed;
    const QString m_runningVersion;
    const std::chrono::milliseconds m_timeout;
    QNetworkAccessManager m_network;
    QPointer<QNetworkReply> m_reply;
    bool m_answerQueued = false;  // the no-feed answer, due from the event loop
};
