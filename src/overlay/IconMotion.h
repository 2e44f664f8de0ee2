#pragma once

#include "visuals/WordVisual.h"

// How a pictogram moves as it arrives: an emoji swings in from a 14° counter-clockwise tilt on a
// lively spring and settles with an overshoot; a symbol gives one short wiggle. Both run once,
// from the moment the icon first shows.
namespace icon_motion {

// The icon's turn in radians (clockwise positive) `age` seconds after it arrived.
double turn(WordVisual::Kind kind, double age);
// Whether the icon still moves at `age`.
bool isMoving(WordVisual::Kind kind, double age);

}  // namespace icon_motion
