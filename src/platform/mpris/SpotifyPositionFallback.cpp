#include "platform/mpris/SpotifyPositionFallback.h"

#include "foundation/DiagLog.h"

double SpotifyPositionFallback::position(const NowPlayingTrack& track, double reported, bool isPlaying,
                                         const QDateTime& now)
{
    if (!isSameTrack(m_track, track))
        startTrack(track, now);
    setRunning(isPlaying, now);
    watchForStuckPosition(reported, isPlaying, now);
    return m_extrapolating ? extrapolated(now) : reported;
}

void SpotifyPositionFallback::seeked(double seconds, const QDateTime& at)
{
    m_base = seconds;
    m_baseAt = at;
}

void SpotifyPositionFallback::startTrack(const NowPlayingTrack& track, const QDateTime& now)
{
    m_track = track;
    m_base = 0;
    m_baseAt = now;
    m_running = false;
    m_zeroSince = QDateTime();
    m_extrapolating = false;
    m_reported = false;
}

void SpotifyPositionFallback::setRunning(bool running, const QDateTime& now)
{
    if (running == m_running)
        return;
    m_base = extrapolated(now);
    m_baseAt = now;
    m_running = running;
}

void SpotifyPositionFallback::watchForStuckPosition(double reported, bool isPlaying, const QDateTime& now)
{
    if (reported != 0) {
        // The player tells the position again (or always did): believe it.
        m_zeroSince = QDateTime();
        m_extrapolating = false;
        return;
    }
    if (!isPlaying) {
        m_zeroSince = QDateTime();  // paused at 0 is plausible; only playing time counts
        return;
    }
    if (!m_zeroSince.isValid())
        m_zeroSince = now;
    if (!m_extrapolating && m_zeroSince.msecsTo(now) > detectAfterMs) {
        m_extrapolating = true;
        if (!m_reported) {
            m_reported = true;
            DiagLog::log(QStringLiteral("player query: spotify position unavailable — extrapolating"));
        }
    }
}

double SpotifyPositionFallback::extrapolated(const QDateTime& now) const
{
    return m_running ? m_base + double(m_baseAt.msecsTo(now)) / 1000.0 : m_base;
}
