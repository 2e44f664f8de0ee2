#pragma once

#include "lyrics/ServiceSession.h"
#include "playback/NowPlayingTrack.h"

#include <QUrl>

// Where LRCLIB is, the addresses of its two requests and the headers it asks of a client.
namespace lrclib_address {

QUrl defaultBase();  // https://lrclib.net
// ZUVIK_LRCLIB_BASE_URL when it is set and reads as a base; the default otherwise.
QUrl fromEnvironment();

// LRCLIB asks clients to name themselves: "Zuvik vVERSION (HOMEPAGE)" as the User-Agent.
ServiceSession::Headers headers();

// "/api/get" with track_name, artist_name and duration (whole seconds): one record, or a 404.
QUrl getUrl(const QUrl& base, const NowPlayingTrack& track);
// "/api/search" with track_name and artist_name: up to 20 records, best guesses first.
QUrl searchUrl(const QUrl& base, const NowPlayingTrack& track);

}  // namespace lrclib_address
