#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>

#include <optional>

// One answer of the player query: what one player was doing at one instant.
struct PlayerSample {
    QString source;  // "spotify" or "music"
    QString title;
    QString artist;
    double duration = 0;  // seconds
    double position = 0;  // seconds, at `sampledAt`
    bool isPlaying = false;
    QDateTime sampledAt;  // UTC, the middle of the query's round trip
    QString url = {};     // the track's address when the player gives one (MPRIS xesam:url)

    // Reads a reply record: six TAB-separated fields (source, title, artist, duration, position,
    // "true"/"false"), and an optional seventh, the track's address. Yields nothing for the empty
    // reply, for fewer than six fields and for a duration or position that is not a plain number.
    // Fields are taken as they are, untrimmed.
    static std::optional<PlayerSample> fromReply(QStringView reply, const QDateTime& sampledAt);

    friend bool operator==(const PlayerSample&, const PlayerSample&) = default;
};
