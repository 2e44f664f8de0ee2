#pragma once

#include "lyrics/TimedLyrics.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QJsonObject>
#include <QString>

#include <variant>

// The stored form of a document: {"tier": raw value, "words": [{"text","start","end","line"}...]},
// compact. The groups are never stored; decoding rebuilds them.
QByteArray encodeTimedLyrics(const TimedLyrics& lyrics);
// The same document as an object, for a file that keeps more members beside it.
QJsonObject timedLyricsObject(const TimedLyrics& lyrics);

struct LyricsDecodeError {
    QString reason;
};

// Looks members up by name and ignores unknown ones; fails on a missing or mistyped member or an
// unknown tier, never substituting defaults.
std::variant<TimedLyrics, LyricsDecodeError> decodeTimedLyrics(QByteArrayView json);
// The same, from an object already parsed.
std::variant<TimedLyrics, LyricsDecodeError> decodeTimedLyrics(const QJsonObject& object);
