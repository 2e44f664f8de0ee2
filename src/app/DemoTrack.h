#pragma once

#include "lyrics/TimedLyrics.h"
#include "playback/NowPlayingMonitor.h"
#include "playback/NowPlayingTrack.h"

// The built-in demo: a 30-second song of our own with word-level timing, "played" by a pretend
// player that loops it, so the whole application can be seen working without any player.
namespace demo_track {

inline constexpr double duration = 30.0;

NowPlayingTrack track();
TimedLyrics lyrics();

// A player query that reports the demo track playing, from `startedAt` on, looping forever.
NowPlayingMonitor::StartQuery playerQuery(QDateTime startedAt, NowPlayingMonitor::Clock clock);

}  // namespace demo_track
