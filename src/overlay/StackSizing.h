#pragma once

#include "lyrics/TimedLyrics.h"
#include "overlay/TextMeasurer.h"

#include <QVarLengthArray>

#include <span>

// One point size per word of a stack; five fit without touching the heap.
using WordSizes = QVarLengthArray<double, 5>;

// Point sizes for the ship and visual stacks on a width × height display: a word's cap height is
// 7.5 % of the height times the scale, weighted by the square root of its share of the mean
// duration (clamped to 0.75...1.55); no word is wider than 0.62 × width; and when the cap heights
// together pass 80 % of the band, all shrink by one factor.
WordSizes stackWordSizes(std::span<const TimedWord> words, double width, double height, const LyricType& type);
