#pragma once

#include "lyrics/TimedLyrics.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

// A lyric file's bytes as text: UTF-8 (a byte-order mark is dropped), or, when the bytes are not
// valid UTF-8, the locale's encoding (Latin-1 where the locale has none). CR LF and lone CR line
// ends become LF.
QString decodeLyricFile(const QByteArray& bytes);

// The "[offset:+/-ms]" tag of an LRC text in milliseconds, 0 when there is none or it does not read.
// A positive offset makes the lyrics appear earlier.
double lrcOffsetMs(QStringView text);

// Whether the text carries enhanced word tags ("<00:12.40>") after a line's time tag.
bool hasWordTags(QStringView text);

// Reads enhanced LRC ("[00:12.00]<00:12.00>Some <00:12.40>words"): each word starts at its tag and
// ends where the next word of the line starts, or at the next line's start (at most a few seconds).
QList<TimedWord> parseEnhancedLrc(QStringView text);

// A local LRC document as lyrics: word-level timing from enhanced tags, else words interpolated
// from the line times; the offset tag shifts every time. Nothing when no word survives.
std::optional<TimedLyrics> parseLocalLyrics(QStringView text);
