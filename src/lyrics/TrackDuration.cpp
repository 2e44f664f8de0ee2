#include "lyrics/TrackDuration.h"

#include <cmath>

namespace track_duration {

namespace {

// 2^63 is exact as a double; every double strictly inside (-2^63, 2^63) converts without overflow.
constexpr double int64Limit = 9223372036854775808.0;

bool fitsMilliseconds(double seconds) { return std::isfinite(seconds) && std::fabs(seconds * 1000.0) < int64Limit; }

}  // namespace

std::optional<std::int64_t> targetMilliseconds(double seconds)
{
    if (!(seconds > 0) || !fitsMilliseconds(seconds))
        return std::nullopt;
    return static_cast<std::int64_t>(std::trunc(seconds * 1000.0));
}

std::int64_t roundedSeconds(double seconds)
{
    if (!fitsMilliseconds(seconds))
        return 0;
    return static_cast<std::int64_t>(std::round(seconds));
}

}  // namespace track_duration
