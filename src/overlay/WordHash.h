#pragma once

#include <cstdint>

// Stable pseudo-random choices per word, derived from the word's start time alone, so a word keeps
// its tilt, offset and decoration while it is on screen and looks the same on every display.
// Each salt serves one purpose only; reusing one would correlate two choices.
namespace word_salt {
inline constexpr std::uint64_t chip = 0xB23DDBF35EC6D82D;  // ship: chip word when < 0.2
inline constexpr std::uint64_t tilt = 0x3B69F3FBCA42480F;  // every stack
inline constexpr std::uint64_t offset = 0xB77BA08A779FAA65;  // ship indent, other stacks' x offset
inline constexpr std::uint64_t iconSide = 0x2BB0A6367FB7D167;  // pictogram before or after the text
}  // namespace word_salt

// A fraction in [0, 1) with four decimal places.
double wordHash(double start, std::uint64_t salt);
