#include "playback/AnchorRule.h"

#include <cmath>

PlayheadAnchor candidateAnchor(const PlayerSample& sample)
{
    return PlayheadAnchor{sample.position, sample.sampledAt, sample.isPlaying ? 1.0 : 0.0};
}

bool keepsAnchor(const PlayheadAnchor& current, const PlayheadAnchor& candidate, bool sameTrack, const QDateTime& now,
                 double threshold)
{
    return sameTrack && candidate.rate == current.rate
           && std::abs(candidate.position(now) - current.position(now)) <= threshold;
}
