#pragma once

#include <cstdint>
#include <optional>

// Whole-number readings of a player's duration in seconds. Players report ordinary finite values,
// but a NaN, an infinity or a value past the signed 64-bit millisecond range must never reach an
// integer conversion: such a duration counts as unknown.
namespace track_duration {

// The duration in milliseconds, rounded toward zero, when it is positive and representable;
// otherwise there is no duration to compare candidates with.
std::optional<std::int64_t> targetMilliseconds(double seconds);

// The duration rounded to whole seconds, halves away from zero; 0 when it is not representable.
std::int64_t roundedSeconds(double seconds);

}  // namespace track_duration
