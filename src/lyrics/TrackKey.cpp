#include "lyrics/TrackKey.h"

#include "lyrics/SearchKey.h"

#include <cmath>

QString trackKey(const NowPlayingTrack& track)
{
    const double duration = std::isfinite(track.duration) ? std::round(track.duration) : -1.0;
    return searchKey(track.title) + u'\t' + searchKey(track.artist) + u'\t'
           + QString::number(static_cast<qint64>(duration));
}
