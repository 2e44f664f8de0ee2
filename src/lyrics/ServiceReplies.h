#pragma once

#include "lyrics/Candidate.h"

#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

// Readings of the lyrics service's JSON replies. Pure: whatever shape a reply has, the result is
// some candidates or absent texts, never a failure.

// The songs of a search reply ("result" → "songs"), in reply order. Nothing when either member is
// missing or of another type; a song that cannot become a candidate (no integer "id") is skipped.
std::optional<QList<Candidate>> candidatesFromSearchReply(const QJsonObject& reply);

// The two lyric texts of one song; a text that is missing, not a string or empty is absent.
struct LyricTexts {
    std::optional<QString> wordLevel;  // "yrc" → "lyric"
    std::optional<QString> lineLevel;  // "lrc" → "lyric"
};

LyricTexts lyricTextsFromReply(const QJsonObject& reply);
