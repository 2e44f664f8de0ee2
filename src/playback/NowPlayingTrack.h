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

    friend bool operator==(const NowPlayingTrack& a, const NowPlayingTrack& b);
};

// The one rule for "is this still the same track?": title, artist and duration equal, or nothing
// twice. The duration is compared exactly, so a re-release that differs by half a second counts
// as another track; two durations that are not numbers count as equal, or a player that reports
// no length would look like a new track on every poll. Equality of tracks is this rule.
bool isSameTrack(const std::optional<NowPlayingTrack>& a, const std::optional<NowPlayingTrack>& b);
