#include "app/menu/UpdateCheck.h"

#include "foundation/DiagLog.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {

using Kind = UpdateCheckResult::Kind;

constexpr char tooLargeProperty[] = "zuvikFeedTooLarge";

UpdateCheckResult failure(const QString& runningVersion, const QString& problem)
{
    return {Kind::failed, runningVersion, std::nullopt, problem};
}

}  // namespace

UpdateMessage updateMessage(const UpdateCheckResult& result)
{
    switch (result.kind) {
    case Kind::notConfigured:
        return {QStringLiteral("Updates are not configured for this build"),
                QStringLiteral("This copy of Zuvik was built without an update feed."),
                {}};
    case Kind::upToDate:
        return {
            QStringLiteral("Zuvik is up to date"),
            QStringLiteral("You are running Zuvik %1, the newest version.").arg(result.runningVersion.toHtmlEscaped()),
            {}};
    case Kind::available: {
        const AppcastRelease& release = *result.release;
        const QString link = release.link.toString(QUrl::FullyEncoded).toHtmlEscaped();
        return {QStringLiteral("Zuvik %1 is available").arg(release.displayVersion),
                QStringLiteral("You are running Zuvik %1.<br>Download the new version from <a href=\"%2\">%2</a>.")
                    .arg(result.runningVersion.toHtmlEscaped(), link),
                release.notes};
    }
    case Kind::failed:
        return {QStringLiteral("Could not check for updates"), result.problem.toHtmlEscaped(), {}};
    }
    Q_UNREACHABLE();
}

UpdateCheck::UpdateCheck(QUrl feed, QString runningVersion, std::chrono::milliseconds timeout, QObject* parent)
    : QObject(parent)
    , m_feed(std::move(feed))
    , m_runningVersion(std::move(runningVersion))
    , m_timeout(timeout)
{}

void UpdateCheck::start()
{
    if (isRunning())
        return;
    if (m_feed.isEmpty()) {
        // Answered from the event loop, as every other outcome is.
        m_answerQueued = true;
        QTimer::singleShot(0, this, [this] {
            m_answerQueued = false;
            answer({Kind::notConfigured, m_runningVersion, std::nullopt, {}},
                   QStringLiteral("updates: no update feed in this build"));
        });
        return;
    }
    QNetworkRequest request(m_feed);
    request.setTransferTimeout(static_cast<int>(m_timeout.count()));
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Zuvik/") + m_runningVersion);
    m_reply = m_network.get(request);
    // The transfer time-out only bounds the wait between two bytes; this bounds the whole request.
    QTimer::singleShot(m_timeout, m_reply, [reply = m_reply.data()] { reply->abort(); });
    connect(m_reply, &QNetworkReply::downloadProgress, m_reply, [reply = m_reply.data()](qint64 received, qint64) {
        if (received > maxFeedBytes) {
            reply->setProperty(tooLargeProperty, true);
            reply->abort();
        }
    });
    connect(m_reply, &QNetworkReply::finished, this, &UpdateCheck::onFinished);
}

void UpdateCheck::onFinished()
{
    QNetworkReply* reply = m_reply.data();
    m_reply.clear();
    reply->deleteLater();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QString address = m_feed.toDisplayString();
    if (reply->property(tooLargeProperty).toBool()) {
        answer(failure(m_runningVersion, QStringLiteral("The update feed is not a readable appcast.")),
               QStringLiteral("updates: %1 sent more than %2 bytes").arg(address).arg(maxFeedBytes));
        return;
    }
    if (reply->error() == QNetworkReply::OperationCanceledError || reply->error() == QNetworkReply::TimeoutError) {
        answer(failure(m_runningVersion, QStringLiteral("The update feed did not answer in time.")),
               QStringLiteral("updates: %1 did not answer within %2 ms").arg(address).arg(m_timeout.count()));
        return;
    }
    if (status != 0 && status != 200) {
        answer(failure(m_runningVersion, QStringLiteral("The update feed answered with HTTP status %1.").arg(status)),
               QStringLiteral("updates: %1 answered HTTP %2").arg(address).arg(status));
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        answer(failure(m_runningVersion,
                       QStringLiteral("The update feed could not be reached (%1).").arg(reply->errorString())),
               QStringLiteral("updates: %1 failed: %2").arg(address, reply->errorString()));
        return;
    }
    const std::optional<AppcastRelease> newest = newestRelease(reply->readAll());
    if (!newest) {
        answer(failure(m_runningVersion, QStringLiteral("The update feed is not a readable appcast.")),
               QStringLiteral("updates: %1 is not a readable appcast").arg(address));
        return;
    }
    if (compareVersions(newest->version, m_runningVersion) > 0) {
        answer({Kind::available, m_runningVersion, newest, {}},
               QStringLiteral("updates: %1 available (running %2)").arg(newest->displayVersion, m_runningVersion));
    } else {
        answer({Kind::upToDate, m_runningVersion, newest, {}},
               QStringLiteral("updates: up to date (running %1, feed offers %2)")
                   .arg(m_runningVersion, newest->displayVersion));
    }
}

void UpdateCheck::answer(UpdateCheckResult result, const QString& logLine)
{
    DiagLog::log(logLine);
    Q_EMIT finished(result);
}
