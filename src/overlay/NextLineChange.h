#pragma once

#include "lyrics/TimedLyrics.h"

#include <optional>

// The earliest playhead after t at which the line on show or its started words change (a word
// starts, a line ends its linger, the next line starts); nothing once the lyrics are over. Lets an
// overlay that has nothing moving sleep until then instead of drawing every frame.
std::optional<double> nextLineChange(const TimedLyrics& lyrics, double t);
