#include "app/LyricEngine.h"

#include <cmath>

LyricEngine::LyricEngine(NowPlayingMonitor::StartQuery startQuery, StartLookup startLookup, QObject* parent,
                         NowPlayingMonitor::Clock clock)
    : QObject(parent)
    , m_startLookup(std::move(startLookup))
    , m_monitor(std::move(startQuery), this, std::move(clock))
{
    connect(&m_monitor, &NowPlayingMonitor::trackChanged, this, &LyricEngine::onMonitorTrack);
    // The current value, as a subscription delivers it: from the event loop, so that whoever made
    // the engine has connected to it by then. A track the monitor reported meanwhile came first.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_lastTrack)
                onMonitorTrack(m_monitor.track());
        },
        Qt::QueuedConnection);
}

LyricEngine::~LyricEngine()
{
    if (m_fetch)
        m_fetch->cancel();
}

double LyricEngine::playhead(const QDateTime& instant) const
{
    return m_monitor.anchor().position(instant) + playheadLead;
}

void LyricEngine::onMonitorTrack(const std::optional<NowPlayingTrack>& track)
{
    if (m_lastTrack && isSameTrack(*m_lastTrack, track))
        return;
    m_lastTrack = track;
    trackChanged(track);
    Q_EMIT trackDelivered(track);
}

void LyricEngine::trackChanged(const std::optional<NowPlayingTrack>& track)
{
    if (m_fetch)
        m_fetch->cancel();
    m_fetch = nullptr;
    follow(track ? m_startLookup(*track) : nullptr);
}

void LyricEngine::replaceLookup(PendingLyrics* lookup)
{
    if (m_fetch)
        m_fetch->cancel();
    follow(lookup);
}

// The lyrics are cleared at once: never the last song's words against the new song's playhead.
void LyricEngine::follow(PendingLyrics* lookup)
{
    m_fetch = lookup;
    m_origin = {};
    setLyrics(std::nullopt);
    if (!lookup)
        return;
    connect(lookup, &PendingLyrics::finished, this,
            [this, lookup](const std::optional<TimedLyrics>& answer) { onLookupFinished(lookup, answer); });
}

void LyricEngine::onLookupFinished(PendingLyrics* lookup, const std::optional<TimedLyrics>& answer)
{
    if (lookup != m_fetch)
        return;  // a stale answer: the track has changed since
    m_origin = lookup->origin();
    if (answer)
        Q_EMIT lyricsFound(answer->words());
    setLyrics(answer);
}

void LyricEngine::setLyrics(const std::optional<TimedLyrics>& lyrics)
{
    m_lyrics = lyrics;
    Q_EMIT lyricsChanged(m_lyrics);
}
