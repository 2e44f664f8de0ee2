#pragma once

#include "lyrics/TrackOffsets.h"
#include "playback/NowPlayingTrack.h"

#include <QObject>
#include <QString>

#include <optional>

// The user's timing correction for the track now playing: follows the track, reads its stored
// offset, and applies nudges, settings and resets to it. Positive offsets draw the lyrics later.
// Main thread.
class TrackTiming : public QObject {
    Q_OBJECT
public:
    explicit TrackTiming(TrackOffsets& offsets, QObject* parent = nullptr);

    const std::optional<NowPlayingTrack>& track() const { return m_track; }
    // The current track's offset; 0 while nothing plays.
    double offset() const { return m_offset; }

    // Each returns nothing, changing nothing, while no track is playing. Otherwise the offset is
    // in force at once and the result tells whether it also reached the offsets file (a failure
    // is logged; the offset then holds until Zuvik quits).
    std::optional<WriteResult> nudge(double delta);
    std::optional<WriteResult> setOffset(double seconds);
    std::optional<WriteResult> reset() { return setOffset(0.0); }

    // The track being played changed (nothing: no track).
    void followTrack(const std::optional<NowPlayingTrack>& track);

Q_SIGNALS:
    // The offset in force changed, by a track change or by the user.
    void offsetChanged(double seconds);
    // The user changed the offset: what the overlay briefly shows.
    void adjusted(double seconds);
    void trackAvailabilityChanged(bool hasTrack);

private:
    void apply(double seconds);

    TrackOffsets& m_offsets;
    std::optional<NowPlayingTrack> m_track;
    double m_offset = 0.0;
};

// "+0.3 s", "−1.25 s", "0.0 s": an offset as the overlay and the command line show it.
QString offsetLabel(double seconds);
