#pragma once

#include "playback/PlayerSample.h"

#include <QString>
#include <QStringView>

#include <optional>

// The AppleScript source that asks Spotify, then Music, what is playing and answers with one
// reply record (or the empty text). It never launches a player: each "tell" is guarded by
// "is running".
const QString& playerQueryScript();

// Reads a reply record: six TAB-separated fields (source, title, artist, duration, position,
// "true"/"false"), and an optional seventh, the track's address. Yields nothing for the empty
// reply, for fewer than six fields and for a duration or position that is not a plain number.
// Fields are taken as they are, untrimmed. The sample's sampledAt is left unset.
std::optional<PlayerSample> readPlayerReply(QStringView reply);
