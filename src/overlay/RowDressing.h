#pragma once

#include "lyrics/TimedLyrics.h"
#include "overlay/Frame.h"
#include "overlay/FrameInput.h"

// A row's looks before it is placed: colours, chip, tilt, offset, pictogram and glyph-box
// colour, all from the style, the settings and the word's own hash.
FrameRow dressRow(const TimedWord& word, bool isCurrent, double pointSize, const FrameSettings& settings,
                  double displayWidth, const VisualLookup& visualFor);
