#include "playback/NowPlayingTrack.h"

#include <cmath>

bool isSameTrack(const std::optional<NowPlayingTrack>& a, const std::optional<NowPlayingTrack>& b)
{
    if (!a || !b)
        return a.has_value() == b.has_value();
    const bool sameDuration = a->duration == b->duration || (std::isnan(a->duration) && std::isnan(b->duration));
    return a->title == b->title && a->artist == b->artist && sameDuration;
}
