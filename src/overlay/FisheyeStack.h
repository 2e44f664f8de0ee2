#pragma once

#include "overlay/StackSizing.h"

#include <array>

// The fisheye stack sizes its (at most three) words by position, not by duration: with three, the
// middle word (the one before the current word) is the largest; with two, the older one.
namespace fisheye_stack {

inline constexpr int maxWords = 3;
// Indexed by the number of words drawn, then by position (0 = oldest); unused entries are 0.
inline constexpr std::array<std::array<double, 3>, 4> widthFactors = {{
    {},
    {1.0},
    {1.0, 0.72},
    {0.58, 1.0, 0.58},
}};
inline constexpr std::array<std::array<double, 3>, 4> capFactors = {{
    {},
    {1.0},
    {1.0, 0.85},
    {0.68, 1.0, 0.68},
}};

// The base cap height, 0.147 of the display height times the scale; rows overlap by 16 % of it.
inline constexpr double baseCapShareOfHeight = 0.147;
inline constexpr double rowSpacingOfBase = -0.16;
// The widest word allowed is this share of the display width, times the scale and the factor.
inline constexpr double maxWidthShare = 0.42;

}  // namespace fisheye_stack

// The point size whose cap height is `capHeight`, made smaller if the text would pass `maxWidth`.
// A text that measures 0 wide keeps the size matching its cap height.
double fittedWordSize(const QString& text, double maxWidth, double capHeight, const TextMeasurer& measurer,
                      LyricFont font);

// Sizes for the fisheye word window on a width × height display. More than three words are
// sized as the last three would be; the earlier ones get nothing.
WordSizes fisheyeWordSizes(std::span<const TimedWord> words, double width, double height, const LyricType& type);
