#pragma once

// Readable failure output for the playback types.
#include "playback/NowPlayingTrack.h"
#include "playback/PlayerSample.h"
#include "playback/PlayheadAnchor.h"

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* out)
{
    *out << '"' << s.toStdString() << '"';
}

inline void PrintTo(const PlayerSample& s, std::ostream* out)
{
    *out << '{' << s.source.toStdString() << " | " << s.title.toStdString() << " | " << s.artist.toStdString()
         << " | " << s.duration << " | " << s.position << " | " << (s.isPlaying ? "playing" : "paused") << '}';
}

inline void PrintTo(const PlayheadAnchor& a, std::ostream* out)
{
    *out << '{' << a.elapsed << " at " << a.timestamp.toString(Qt::ISODateWithMs).toStdString() << " rate "
         << a.rate << '}';
}

inline void PrintTo(const NowPlayingTrack& t, std::ostream* out)
{
    *out << '{' << t.title.toStdString() << " / " << t.artist.toStdString() << " / " << t.duration << '}';
}
