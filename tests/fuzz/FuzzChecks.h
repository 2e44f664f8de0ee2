#pragma once

#include "lyrics/TimedLyrics.h"
#include "lyrics/TimedLyricsJson.h"
#include "lyrics/UnicodeText.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdlib>

// The bytes as UTF-8 (what the service sends), or as raw UTF-16 when the first is odd, for lone surrogates.
inline QString fuzzText(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return {};
    if (data[0] & 1)
        return QString(reinterpret_cast<const QChar*>(data + 1), static_cast<qsizetype>((size - 1) / 2));
    return QString::fromUtf8(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
}

#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            std::abort();                                                                                              \
    } while (false)

// What every parser result must satisfy, whatever the input.
inline void checkWords(const QList<TimedWord>& words, LyricTier tier)
{
    for (const TimedWord& word : words) {
        FUZZ_CHECK(!word.text.isEmpty());
        FUZZ_CHECK(unicode_text::trimmed(word.text).size() == word.text.size());
        FUZZ_CHECK(unicode_text::containsAlphanumeric(word.text));
        FUZZ_CHECK(std::isfinite(word.start) && std::isfinite(word.end));
        FUZZ_CHECK(word.start >= 0 && word.end >= word.start);
    }
    const TimedLyrics lyrics(tier, words);
    for (const TimedWord& word : words) {
        for (double t : {word.start, word.end, word.end + 0.5}) {
            if (const auto active = lyrics.activeGroup(t))
                FUZZ_CHECK(active->startedWords >= 1 && active->startedWords <= active->group->size());
        }
    }
    const auto decoded = decodeTimedLyrics(encodeTimedLyrics(lyrics));
    FUZZ_CHECK(std::holds_alternative<TimedLyrics>(decoded));
    // JSON carries text as UTF-8, where a lone surrogate cannot survive; compare the rest.
    const TimedLyrics& back = std::get<TimedLyrics>(decoded);
    FUZZ_CHECK(back.words().size() == words.size());
    for (qsizetype i = 0; i < words.size(); ++i) {
        FUZZ_CHECK(back.words()[i].start == words[i].start && back.words()[i].end == words[i].end);
        FUZZ_CHECK(back.words()[i].line == words[i].line);
    }
}
