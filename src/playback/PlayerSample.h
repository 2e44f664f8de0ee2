#pragma once

#include "playback/NowPlayingTrack.h"

#include <QDateTime>
#include <QString>

// One answer of the player query: what one player was doing at one instant.
struct PlayerSample {
    QString source;  // "spotify" or "music"
    QString title;
    QString artist;
    double duration = 0;  // seconds
    double position = 0;  // seconds, at `sampledAt`
    bool isPlaying = false;
    QDateTime sampledAt;  // UTC, the middle of the query's round trip
    QString url = {};  // the track's address when the player gives one (MPRIS xesam:url)

    NowPlayingTrack track() const { return NowPlayingTrack{title, artist, duration, url}; }

    friend bool operator==(const PlayerSample&, const PlayerSample&) = default;
};
