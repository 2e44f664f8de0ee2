#pragma once

#include "overlay/Frame.h"

#include <span>

// The zoom, 1 or less, about the band's centre that brings every row's drawn bounds inside a
// band of `size`. The stack sizes keep ordinary lines inside by themselves; this catches what
// they cannot: a chip or a tilted row at the band's edge, pictograms beside a word at its width
// limit, the fisheye stack at large text scales, and displays too small for any of it.
double bandFitZoom(std::span<const FrameRow> rows, QSizeF size);

// Shrinks every row's sizes and positions by `zoom` about the centre of a band of `size`.
void zoomRows(std::span<FrameRow> rows, QSizeF size, double zoom);
