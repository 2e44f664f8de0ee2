#pragma once

#include "lyrics/TimedLyrics.h"

#include <span>

// The words a frame shows: of the first `started` words of the line, the last `size`, oldest
// first. The last one is the current word, and stays so after its end until the next starts.
std::span<const TimedWord> wordWindow(const WordGroup& group, qsizetype started, int size);
