#pragma once

#include "overlay/Frame.h"
#include "overlay/TextMeasurer.h"

#include <span>

// How a stack sits in the band.
struct StackPlacement {
    QSizeF band;
    double spacing = 0;  // between rows; negative overlaps them
    bool centred = false;  // else leading-aligned, each row indented by its offset
};

// Places dressed and sized rows: stacks them vertically, centred in the band, and fills in each
// row's box, text origin, baseline, icon box, glyph box and drawn bounds.
void placeRows(std::span<FrameRow> rows, const StackPlacement& placement, const LyricType& type);
