#pragma once

#include "playback/NowPlayingTrack.h"
#include "playback/PlayerSource.h"

#include <QString>
#include <QStringView>
#include <QVariant>
#include <QVariantMap>

#include <optional>

// What one MPRIS player said about itself in a single GetAll of its Player interface.
struct MprisPlayerState {
    QString status;  // "Playing", "Paused", "Stopped", or whatever the player sent
    QVariantMap metadata;  // xesam:* and mpris:* keys
    QVariant position;  // microseconds, as sent
};

// Unpacks the properties of org.mpris.MediaPlayer2.Player; values of the wrong type count as missing.
MprisPlayerState mprisPlayerState(const QVariantMap& properties);

// Spotify's advertisements carry a track ID with "/ad/" or ":ad:"; they count as nothing playing.
bool isAdvertisement(const MprisPlayerState& state);

// A text field: a string, or a list of strings joined with ", " (the artist list). TAB and LF
// become spaces so that a title cannot shift the log summary's fields or break its line.
QString mprisText(const QVariant& value);

// Any of the integer or floating-point D-Bus types a player may send a number as.
bool isMprisNumber(const QVariant& value);

// A time in microseconds (any integer or floating-point D-Bus type) as seconds. Nothing for a
// missing value, another type, a negative length's "unknown" or a non-finite number.
std::optional<double> mprisSeconds(const QVariant& microseconds);

// Seconds written with "." as the decimal point, at most six decimals and no exponent.
QString replyNumber(double seconds);

// The track the player names: title, artist and length, the length not a number when the player
// gives none that can be told, and the file it plays from.
NowPlayingTrack mprisTrack(const MprisPlayerState& state);

// What this player is doing, for the player query: its sample, with the length and position to
// the microsecond the player counts in, or nothing when either cannot be told; and the summary
// the log shows, the six TAB-separated fields of the player script's record (an untold length or
// position left empty) and the track's xesam:url as a seventh when it has one.
PlayerReading mprisReading(QStringView source, const MprisPlayerState& state, std::optional<double> position);
