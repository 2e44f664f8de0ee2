#pragma once

#include <QDateTime>

// A known playhead position at a known instant, from which the position at any other instant is
// extrapolated without asking the player again.
struct PlayheadAnchor {
    double elapsed = 0;  // seconds into the track at `timestamp`
    QDateTime timestamp;  // UTC
    double rate = 0;  // seconds of track per second of wall time: 1 playing, 0 paused

    // The playhead in seconds at `instant`.
    double position(const QDateTime& instant) const;

    // The anchor while nothing plays: position 0 forever.
    static const PlayheadAnchor& idle();

    friend bool operator==(const PlayheadAnchor&, const PlayheadAnchor&) = default;
};
