#include "lyrics/LrclibAddress.h"

#include "lyrics/ServiceAddress.h"

#include <cmath>

namespace lrclib_address {

QUrl defaultBase() { return QUrl(QStringLiteral("https://lrclib.net")); }

QUrl fromEnvironment() { return service_address::baseFromVariable("ZUVIK_LRCLIB_BASE_URL", defaultBase()); }

ServiceSession::Headers headers()
{
    // ZUVIK_VERSION and ZUVIK_HOMEPAGE come from the build, so the name follows every release.
    return {{"User-Agent", QByteArrayLiteral("Zuvik v" ZUVIK_VERSION " (" ZUVIK_HOMEPAGE ")")}};
}

QUrl getUrl(const QUrl& base, const NowPlayingTrack& track)
{
    return service_address::withPathAndQuery(
        base, QStringLiteral("/api/get"),
        {{QStringLiteral("track_name"), track.title},
         {QStringLiteral("artist_name"), track.artist},
         {QStringLiteral("duration"), QString::number(std::llround(track.duration))}});
}

QUrl searchUrl(const QUrl& base, const NowPlayingTrack& track)
{
    return service_address::withPathAndQuery(
        base, QStringLiteral("/api/search"),
        {{QStringLiteral("track_name"), track.title}, {QStringLiteral("artist_name"), track.artist}});
}

}  // namespace lrclib_address
