#pragma once

#include <cmath>
#include <cstdint>

// Bounds on the times lyric texts may carry. Anything outside is junk from a broken or hostile
// source, skipped so that no NaN, infinity or negative time reaches the rest of the program.
namespace lyric_time {

constexpr double maxSeconds = 48.0 * 3600.0;  // far beyond any real track
constexpr std::int64_t maxMilliseconds = static_cast<std::int64_t>(maxSeconds * 1000.0);

inline bool isPlausibleSeconds(double seconds)
{
    return std::isfinite(seconds) && seconds >= 0.0 && seconds <= maxSeconds;
}

}  // namespace lyric_time
