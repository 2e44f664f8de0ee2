#pragma once

#include <QRectF>
#include <QSizeF>

// Where the lyric band sits on a display: below a top margin of 0.28 × H and above a bottom
// margin of 0.16 × H, full width.
namespace band {

inline constexpr double topMargin = 0.28;
inline constexpr double bottomMargin = 0.16;
// Evaluated left to right on purpose (0.5599999999999999): the stack limit uses the same factor.
inline constexpr double heightFactor = 1.0 - topMargin - bottomMargin;

// No real display is anywhere near this; it keeps products of sizes far from overflow.
inline constexpr double maxDisplayExtent = 1.0e6;

// A display size fit to compute with: not-a-number, infinite and negative extents become 0.
QSizeF usableDisplaySize(QSizeF display);

// The band in display coordinates.
QRectF bandRect(QSizeF display);

}  // namespace band
