#include "playback/NowPlayingMonitor.h"

#include "foundation/DiagLog.h"
#include "playback/AnchorRule.h"

#include <QCoreApplication>
#include <QPointer>

NowPlayingMonitor::NowPlayingMonitor(StartQuery startQuery, QObject* parent, Clock clock)
    : QObject(parent)
    , m_startQuery(std::move(startQuery))
    , m_clock(std::move(clock))
{
    m_timer.setInterval(sampleIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &NowPlayingMonitor::poll);
    m_timer.start();
    poll();
}

void NowPlayingMonitor::poll()
{
    // The result comes back on the query thread; it is posted to the application object, which
    // outlives the monitor, and applied only if the monitor still exists by then.
    m_startQuery([monitor = QPointer(this)](std::optional<PlayerSample> sample) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [monitor, sample = std::move(sample)] {
                if (monitor)
                    monitor->ingest(sample);
            },
            Qt::QueuedConnection);
    });
}

void NowPlayingMonitor::pollNow()
{
    m_timer.start();
    poll();
}

std::function<void()> NowPlayingMonitor::seekReporter()
{
    return [monitor = QPointer(this)] {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [monitor] {
                if (monitor)
                    monitor->pollNow();
            },
            Qt::QueuedConnection);
    };
}

void NowPlayingMonitor::ingest(const std::optional<PlayerSample>& sample)
{
    Q_EMIT playingReported(sample && sample->isPlaying);
    if (!sample) {
        if (m_track) {
            DiagLog::log(QStringLiteral("nothing playing"));
            setTrack(std::nullopt);
            setAnchor(PlayheadAnchor::idle());
        }
        return;
    }
    const bool sameTrack = isSameTrack(m_track, sample->track());
    if (!sameTrack) {
        DiagLog::log(
            QStringLiteral("now playing (%1): %2 — %3 (%4s)")
                .arg(sample->source, sample->artist, sample->title, QString::number(sample->duration, 'f', 1)));
        setTrack(sample->track());
    }
    const PlayheadAnchor candidate = candidateAnchor(*sample);
    if (!keepsAnchor(m_anchor, candidate, sameTrack, m_clock(), resyncThreshold))
        setAnchor(candidate);
}

void NowPlayingMonitor::setTrack(const std::optional<NowPlayingTrack>& track)
{
    m_track = track;
    Q_EMIT trackChanged(m_track);
}

void NowPlayingMonitor::setAnchor(const PlayheadAnchor& anchor)
{
    m_anchor = anchor;
    Q_EMIT anchorChanged(m_anchor);
}
