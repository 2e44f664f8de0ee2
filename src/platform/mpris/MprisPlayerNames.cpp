#include "platform/mpris/MprisPlayerNames.h"

#include <algorithm>

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

QString mprisPlayerName(QStringView busName)
{
    if (!busName.startsWith(playerPrefix) || busName.size() == playerPrefix.size())
        return {};
    const QStringView rest = busName.mid(playerPrefix.size());
    const qsizetype instance = rest.indexOf(u".instance");
    return (instance < 0 ? rest : rest.left(instance)).toString();
}

QList<QStringList> mprisPlayerGroups(const QStringList& busNames, const PlayerPreferences& preferences)
{
    const MprisPlayerNames names = mprisPlayerNames(busNames);
    const auto followed = [&preferences](const QStringList& group) {
        QStringList kept = group;
        kept.removeIf([&preferences](const QString& name) { return !preferences.follows(mprisPlayerName(name)); });
        return kept;
    };
    if (preferences.preferred.isEmpty())
        return {followed(names.spotify), followed(names.others)};
    QStringList ordered = followed(names.spotify + names.others);
    std::stable_sort(ordered.begin(), ordered.end(), [&preferences](const QString& a, const QString& b) {
        return preferences.preferenceRank(mprisPlayerName(a)) < preferences.preferenceRank(mprisPlayerName(b));
    });
    return {ordered};
}

QStringList mprisPlayersOnBus(const QStringList& busNames)
{
    QStringList players;
    for (const QString& name : busNames) {
        const QString player = mprisPlayerName(name);
        if (!player.isEmpty() && !players.contains(player))
            players.append(player);
    }
    players.sort();
    return players;
}
