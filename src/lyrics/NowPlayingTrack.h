#pragma once

#include <QString>

// The track the player reports as playing: what a lyrics lookup is asked about.
struct NowPlayingTrack {
    QString title;
    QString artist;  // possibly several artists in one string ("A, B & C")
    double duration;  // seconds; 0 or less when the player did not report one

    friend bool operator==(const NowPlayingTrack&, const NowPlayingTrack&) = default;
};
