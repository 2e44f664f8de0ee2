#pragma once

#include "playback/NowPlayingTrack.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

#include <optional>

// Some players get MPRIS's Position wrong: in milliseconds instead of microseconds, as a 32-bit
// number that wraps after 71 minutes (or turns negative after 35), or beyond the end of the
// track. One per player; it tells each case from the samples of a track and corrects it, logging
// once per track, and gives no position at all for one it cannot believe. Query thread only.
class PositionCorrector {
public:
    // 2^32 microseconds: where a 32-bit position wraps.
    static constexpr double wrapSpan = 4294967296.0;
    // A position this far past the track's length is not believed.
    static constexpr double pastEndToleranceSeconds = 1.0;

    // The position in seconds, or nothing for a value that is no number, negative after
    // correction, or past the end. `player` names the player in the log.
    std::optional<double> seconds(const QString& player, const NowPlayingTrack& track, const QVariant& reported,
                                  std::optional<double> lengthSeconds, bool isPlaying, const QDateTime& now);

private:
    enum class Unit { unknown, microseconds, milliseconds };
    struct Previous {
        double raw = 0;  // unwrapped, in the player's unit
        QDateTime at;
        bool playing = false;
    };

    void startTrack(const NowPlayingTrack& track);
    double unwrapped(double raw, bool is32Bit, std::optional<double> lengthSeconds, const QDateTime& now) const;
    void learnUnit(double raw, bool isPlaying, const QDateTime& now);
    static void logOnce(bool& logged, const QString& line);

    std::optional<NowPlayingTrack> m_track;
    Unit m_unit = Unit::unknown;
    std::optional<Previous> m_previous;
    bool m_loggedMilliseconds = false;
    bool m_loggedWrap = false;
    bool m_loggedPastEnd = false;
};
