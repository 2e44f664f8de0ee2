#include "lyrics/TimedLyrics.h"

#include <algorithm>
#include <cmath>

QString rawValue(LyricTier tier)
{
    switch (tier) {
    case LyricTier::wordLevel:
        return QStringLiteral("wordLevel");
    case LyricTier::interpolated:
        return QStringLiteral("interpolated");
    }
    Q_UNREACHABLE();
}

std::optional<LyricTier> lyricTierFromRawValue(QStringView raw)
{
    for (LyricTier tier : {LyricTier::wordLevel, LyricTier::interpolated}) {
        if (raw == rawValue(tier))
            return tier;
    }
    return std::nullopt;
}

QList<WordGroup> groupByLine(const QList<TimedWord>& words)
{
    QList<WordGroup> groups;
    for (const TimedWord& word : words) {
        if (groups.isEmpty() || groups.last().first().line != word.line)
            groups.append(WordGroup{});
        groups.last().append(word);
    }
    return groups;
}

TimedLyrics::TimedLyrics(LyricTier tier, QList<TimedWord> words)
    : m_tier(tier)
    , m_words(std::move(words))
    , m_groups(groupByLine(m_words))
{
    m_groupStarts.reserve(m_groups.size());
    for (const WordGroup& group : std::as_const(m_groups))
        m_groupStarts.append(group.first().start);
}

qsizetype TimedLyrics::lastGroupStartingBy(double t) const
{
    // A plain halving search rather than std::upper_bound: a document read back from disk is not
    // guaranteed to be ordered, and this stays well defined (if then imprecise) when it is not.
    qsizetype low = 0;
    qsizetype high = m_groupStarts.size();
    while (low < high) {
        const qsizetype probe = low + (high - low) / 2;
        if (m_groupStarts[probe] <= t)
            low = probe + 1;
        else
            high = probe;
    }
    return low - 1;
}

std::optional<TimedLyrics::ActiveGroup> TimedLyrics::activeGroup(double t) const
{
    if (m_groups.isEmpty() || std::isnan(t))
        return std::nullopt;

    const qsizetype index = lastGroupStartingBy(t);
    if (index < 0)
        return std::nullopt;
    const WordGroup& group = m_groups[index];

    if (t >= group.last().end + lingerAfterLine)
        return std::nullopt;

    const auto firstUnstarted = std::find_if(group.cbegin(), group.cend(),
                                             [t](const TimedWord& word) { return word.start > t; });
    return ActiveGroup{&group, index, std::distance(group.cbegin(), firstUnstarted)};
}
