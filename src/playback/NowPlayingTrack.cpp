#include "playback/NowPlayingTrack.h"

#include <cmath>

bool operator==(const NowPlayingTrack& a, const NowPlayingTrack& b)
{
    const bool sameDuration = a.duration == b.duration || (std::isnan(a.duration) && std::isnan(b.duration));
    return a.title == b.title && a.artist == b.artist && sameDuration;
}

bool isSameTrack(const std::optional<NowPlayingTrack>& a, const std::optional<NowPlayingTrack>& b) { return a == b; }
