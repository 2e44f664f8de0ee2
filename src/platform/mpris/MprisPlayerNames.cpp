#include "platform/mpris/MprisPlayerNames.h"

namespace {

constexpr QStringView playerPrefix = u"org.mpris.MediaPlayer2.";
constexpr QStringView spotifyName = u"org.mpris.MediaPlayer2.spotify";

}  // namespace

bool isSpotifyBusName(QStringView name)
{
    return name == spotifyName || name.startsWith(spotifyName.toString() + QStringLiteral(".instance"));
}

MprisPlayerNames mprisPlayerNames(const QStringList& busNames)
{
    MprisPlayerNames names;
    for (const QString& name : busNames) {
        if (!name.startsWith(playerPrefix) || name.size() == playerPrefix.size())
            continue;
        (isSpotifyBusName(name) ? names.spotify : names.others).append(name);
    }
    names.spotify.sort();
    names.others.sort();
    return names;
}
