#pragma once

#include "playback/NowPlayingTrack.h"

#include <QString>

// What Zuvik remembers a track by in its own data files: the normalised title and artist and the
// duration rounded to whole seconds, so that a player that reports 214.6 s one day and 214.9 s the
// next, or a remaster note, finds the same entry.
QString trackKey(const NowPlayingTrack& track);
