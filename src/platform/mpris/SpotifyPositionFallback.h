#pragma once

#include "playback/NowPlayingTrack.h"

#include <QDateTime>
#include <QString>

#include <optional>

// Some Spotify clients for Linux report a Position of 0 throughout a track. Once a track has
// played for more than detectAfterMs with the position at 0, the position is extrapolated from
// the moment the track started playing instead (paused time excluded), and re-anchored whenever
// the player announces a seek. One per Spotify player; query thread only.
class SpotifyPositionFallback {
public:
    static constexpr qint64 detectAfterMs = 2000;

    // The position to report, in seconds, for one sample of `track`: the player's own, or the
    // extrapolated one while the player's cannot be believed.
    double position(const NowPlayingTrack& track, double reported, bool isPlaying, const QDateTime& now);
    // The player's Seeked signal: the playhead is at `seconds` at `at`.
    void seeked(double seconds, const QDateTime& at);

    bool isExtrapolating() const { return m_extrapolating; }

private:
    void startTrack(const NowPlayingTrack& track, const QDateTime& now);
    void setRunning(bool running, const QDateTime& now);
    void watchForStuckPosition(double reported, bool isPlaying, const QDateTime& now);
    double extrapolated(const QDateTime& now) const;

    std::optional<NowPlayingTrack> m_track;
    // The play clock: at m_baseAt the track was at m_base seconds, advancing while m_running.
    double m_base = 0;
    QDateTime m_baseAt;
    bool m_running = false;
    QDateTime m_zeroSince;  // invalid unless the position has read 0 while playing since then
    bool m_extrapolating = false;
    bool m_reported = false;  // the fallback has been logged for this track
};
