#pragma once

#include "playback/PlayerPreferences.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// The MPRIS players on the bus, split the way the query asks them: Spotify first, then every
// other player ("music"), each group in sorted bus-name order.
struct MprisPlayerNames {
    QStringList spotify;
    QStringList others;
};

// "org.mpris.MediaPlayer2.spotify" and its "org.mpris.MediaPlayer2.spotify.instance…" variants.
bool isSpotifyBusName(QStringView name);

MprisPlayerNames mprisPlayerNames(const QStringList& busNames);

// The player name a bus name stands for: the part after "org.mpris.MediaPlayer2." without an
// ".instance…" suffix ("org.mpris.MediaPlayer2.firefox.instance_1_42" is "firefox"); empty for a
// name that is not an MPRIS player's.
QString mprisPlayerName(QStringView busName);

// The followed players' bus names in the groups the query asks, one after the other: with a
// preferred list, one group in its order; else Spotify, then the others (see mprisPlayerNames).
QList<QStringList> mprisPlayerGroups(const QStringList& busNames, const PlayerPreferences& preferences);

// Every MPRIS player's name on the bus, once each, sorted.
QStringList mprisPlayersOnBus(const QStringList& busNames);
