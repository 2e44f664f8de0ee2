#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

// How the word times of a document were obtained.
enum class LyricTier {
    wordLevel,  // every word timed by the lyrics service
    interpolated,  // only line times were known; word times were spread over each line
};

QString rawValue(LyricTier tier);
// Exact (case-sensitive) match of a raw value.
std::optional<LyricTier> lyricTierFromRawValue(QStringView raw);

// One word (or syllable group) of the lyrics, already cleaned: never empty, trimmed,
// and holding at least one letter, mark or number.
struct TimedWord {
    QString text;
    double start = 0;  // seconds from the start of the track
    double end = 0;
    std::int64_t line = 0;  // words shown together share a number; numbers need not be contiguous

    friend bool operator==(const TimedWord&, const TimedWord&) = default;
};

using WordGroup = QList<TimedWord>;

// Cuts words into maximal runs of consecutive words with the same line number.
QList<WordGroup> groupByLine(const QList<TimedWord>& words);

// The lyrics of one track: immutable, copied freely (the lists are implicitly shared).
class TimedLyrics {
public:
    // A line stays on show this long after its last word ends, unless the next line starts first.
    static constexpr double lingerAfterLine = 0.8;

    struct ActiveGroup {
        const WordGroup* group;  // points into the document it came from
        qsizetype index;  // of the group in groups()
        qsizetype startedWords;  // at least 1
    };

    TimedLyrics() = default;
    TimedLyrics(LyricTier tier, QList<TimedWord> words);

    LyricTier tier() const { return m_tier; }
    const QList<TimedWord>& words() const { return m_words; }
    const QList<WordGroup>& groups() const { return m_groups; }
    bool isEmpty() const { return m_words.isEmpty(); }

    // The line to show at time t and how many of its words have started; allocation-free,
    // logarithmic in the number of lines.
    std::optional<ActiveGroup> activeGroup(double t) const;

    friend bool operator==(const TimedLyrics& a, const TimedLyrics& b)
    {
        return a.m_tier == b.m_tier && a.m_words == b.m_words;
    }

private:
    // Index of the last group whose first word starts at or before t, or -1.
    qsizetype lastGroupStartingBy(double t) const;

    LyricTier m_tier = LyricTier::wordLevel;
    QList<TimedWord> m_words;
    QList<WordGroup> m_groups;
    QList<double> m_groupStarts;  // start of each group's first word, for the search
};
