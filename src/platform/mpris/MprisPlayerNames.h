#pragma once

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
