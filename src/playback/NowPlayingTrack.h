#pragma once

#include <QString>

// The track a player is playing or has paused, as the player names it.
struct NowPlayingTrack {
    QString title;
    QString artist;
    double duration;  // seconds

    // Equal when all three fields are; the duration is compared exactly, so a re-release that
    // differs by half a second counts as another track.
    friend bool operator==(const NowPlayingTrack&, const NowPlayingTrack&) = default;
};
