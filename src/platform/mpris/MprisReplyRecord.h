#pragma once

#include <QString>
#include <QStringView>
#include <QVariant>
#include <QVariantMap>

#include <optional>

// What one MPRIS player said about itself in a single GetAll of its Player interface.
struct MprisPlayerState {
    QString status;        // "Playing", "Paused", "Stopped", or whatever the player sent
    QVariantMap metadata;  // xesam:* and mpris:* keys
    QVariant position;     // microseconds, as sent
};

// Unpacks the properties of org.mpris.MediaPlayer2.Player; values of the wrong type count as missing.
MprisPlayerState mprisPlayerState(const QVariantMap& properties);

// Spotify's advertisements carry a track ID with "/ad/" or ":ad:"; they count as nothing playing.
bool isAdvertisement(const MprisPlayerState& state);

// A text field: a string, or a list of strings joined with ", " (the artist list). TAB and LF
// become spaces so that a title cannot shift the record's fields or break its line.
QString mprisText(const QVariant& value);

// Any of the integer or floating-point D-Bus types a player may send a number as.
bool isMprisNumber(const QVariant& value);

// A time in microseconds (any integer or floating-point D-Bus type) as seconds. Nothing for a
// missing value, another type, a negative length's "unknown" or a non-finite number.
std::optional<double> mprisSeconds(const QVariant& microseconds);

// Seconds written with "." as the decimal point, at most six decimals and no exponent.
QString replyNumber(double seconds);

// The reply record the player script would give for this player: source, title, artist,
// duration, position, playing, and the track's xesam:url as a seventh field when it has one. A duration or position that cannot be told is left empty, which
// makes the record unreadable, as a script that meets a missing value would.
QString mprisReplyRecord(QStringView source, const MprisPlayerState& state, std::optional<double> position);

// The part of the record that names the track (title, artist, duration), for telling tracks apart.
QString mprisTrackKey(const MprisPlayerState& state);
