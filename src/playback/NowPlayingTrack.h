#pragma once

#include <QString>

#include <optional>

// The track a player is playing or has paused, as the player names it.
struct NowPlayingTrack {
    QString title;
    QString artist;
    double duration;  // seconds
    // Where the player plays it from (MPRIS xesam:url), as sent; empty when the player does not say.
    // It does not name the track: the same song played from two copies is the same track.
    QString url = {};

    // Equal when title, artist and duration are; the duration is compared exactly, so a re-release
    // that differs by half a second counts as another track.
    friend bool operator==(const NowPlayingTrack& a, const NowPlayingTrack& b)
    {
        return a.title == b.title && a.artist == b.artist && a.duration == b.duration;
    }
};

// The one rule for "is this still the same track?": equal tracks, or nothing twice. Two durations
// that are not numbers count as equal, or a player that reports no length would look like a new
// track on every poll.
bool isSameTrack(const std::optional<NowPlayingTrack>& a, const std::optional<NowPlayingTrack>& b);
