#pragma once

#include "playback/PlayerSample.h"
#include "playback/PlayheadAnchor.h"

#include <QDateTime>

// The anchor a sample stands for: its position at its time, moving when the player plays.
PlayheadAnchor candidateAnchor(const PlayerSample& sample);

// Whether the kept anchor stays in force against the candidate at `now`: same track, same rate,
// and the two extrapolations at most `threshold` seconds apart (exactly the threshold keeps it).
bool keepsAnchor(const PlayheadAnchor& current, const PlayheadAnchor& candidate, bool sameTrack, const QDateTime& now,
                 double threshold);
