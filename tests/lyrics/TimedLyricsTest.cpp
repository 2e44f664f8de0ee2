#include "lyrics/TimedLyrics.h"

#include "AllocationCounter.h"
#include "LyricsTestSupport.h"

#include <cmath>
#include <limits>

namespace {

QList<std::int64_t> groupLengths(const QList<WordGroup>& groups)
{
    QList<std::int64_t> lengths;
    for (const WordGroup& g : groups)
        lengths.append(g.size());
    return lengths;
}

TEST(GroupByLine, CutsRunsOfConsecutiveEqualLineNumbersOnly)
{
    const QList<TimedWord> words = {word("a", 0, 1, 0), word("b", 1, 2, 0), word("c", 2, 3, 2),
                                    word("d", 3, 4, 2), word("e", 4, 5, 2), word("f", 5, 6, 0)};
    const QList<WordGroup> groups = groupByLine(words);
    EXPECT_EQ(groupLengths(groups), (QList<std::int64_t>{2, 3, 1}));
    QList<TimedWord> concatenated;
    for (const WordGroup& g : groups)
        concatenated += g;
    EXPECT_EQ(concatenated, words);
}

TEST(GroupByLine, NoWordsNoGroups)
{
    EXPECT_TRUE(groupByLine({}).isEmpty());
    EXPECT_TRUE(TimedLyrics(LyricTier::wordLevel, {}).groups().isEmpty());
}

// Two lines: "one two" (1.0–2.0, gap, 2.5–3.0) and "three" (5.0–6.0).
TimedLyrics twoLines()
{
    return TimedLyrics(LyricTier::wordLevel,
                       {word("one", 1.0, 2.0, 0), word("two", 2.5, 3.0, 0), word("three", 5.0, 6.0, 1)});
}

struct LookupCase {
    const char* name;
    double t;
    qsizetype group;  // -1: nothing
    qsizetype started;
};

class ActiveGroup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(ActiveGroup, Finds)
{
    const TimedLyrics lyrics = twoLines();
    const auto active = lyrics.activeGroup(GetParam().t);
    if (GetParam().group < 0) {
        EXPECT_FALSE(active.has_value());
        return;
    }
    ASSERT_TRUE(active.has_value());
    EXPECT_EQ(active->index, GetParam().group);
    EXPECT_EQ(active->group, &lyrics.groups()[GetParam().group]);
    EXPECT_EQ(active->startedWords, GetParam().started);
}

INSTANTIATE_TEST_SUITE_P(
    Lookup, ActiveGroup,
    ::testing::Values(LookupCase{"BeforeTheFirstWord", 0.999, -1, 0},
                      LookupCase{"ExactlyAtAStartCountsAsStarted", 1.0, 0, 1},
                      LookupCase{"GapInsideALineKeepsTheLine", 2.2, 0, 1},
                      LookupCase{"SecondWordStarted", 2.5, 0, 2},
                      LookupCase{"LingersJustUnderPointEight", std::nextafter(3.8, 0.0), 0, 2},
                      LookupCase{"GoneAtExactlyPointEight", 3.8, -1, 0},
                      LookupCase{"BlankBetweenLines", 4.5, -1, 0},
                      LookupCase{"NextLineTakesOver", 5.0, 1, 1},
                      LookupCase{"LastLineGone", 6.8, -1, 0},
                      LookupCase{"NegativeTime", -5.0, -1, 0},
                      LookupCase{"NotANumber", std::numeric_limits<double>::quiet_NaN(), -1, 0},
                      LookupCase{"Infinity", std::numeric_limits<double>::infinity(), -1, 0},
                      LookupCase{"MinusInfinity", -std::numeric_limits<double>::infinity(), -1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ActiveGroupLinger, NextLineStartingCutsTheLingerShort)
{
    const TimedLyrics lyrics(LyricTier::wordLevel, {word("a", 0.0, 1.0, 0), word("b", 1.2, 2.0, 1)});
    EXPECT_EQ(lyrics.activeGroup(1.1)->index, 0);
    EXPECT_EQ(lyrics.activeGroup(1.2)->index, 1);
}

TEST(ActiveGroupLinger, EmptyDocumentAnswersNothingEver)
{
    const TimedLyrics empty(LyricTier::interpolated, {});
    for (double t : {-1.0, 0.0, 1.0, 1e9})
        EXPECT_FALSE(empty.activeGroup(t).has_value());
}

TEST(ActiveGroupLinger, OverlappingInterpolatedLineIsSearchedInStoredOrder)
{
    // The first line's minimum span runs past the start of the second.
    const TimedLyrics lyrics(LyricTier::interpolated,
                             {word("a", 10.0, 10.1, 0), word("b", 10.1, 10.2, 0), word("c", 10.05, 11.0, 1)});
    const auto active = lyrics.activeGroup(10.15);
    ASSERT_TRUE(active.has_value());
    EXPECT_EQ(active->index, 1);
    EXPECT_EQ(active->startedWords, 1);
}

TimedLyrics manyLines(int lines)
{
    QList<TimedWord> words;
    for (int line = 0; line < lines; ++line) {
        for (int w = 0; w < 6; ++w) {
            const double start = line * 4.0 + w * 0.5;
            words.append(TimedWord{QStringLiteral("word"), start, start + 0.4, line});
        }
    }
    return TimedLyrics(LyricTier::wordLevel, words);
}

TEST(ActiveGroupLookup, AgreesWithALinearScanAtEveryProbe)
{
    const TimedLyrics lyrics = manyLines(50);
    for (double t = -1.0; t < 205.0; t += 0.0625) {
        qsizetype expected = -1;
        for (qsizetype g = 0; g < lyrics.groups().size(); ++g) {
            if (lyrics.groups()[g].first().start <= t)
                expected = g;
        }
        if (expected >= 0 && t >= lyrics.groups()[expected].last().end + TimedLyrics::lingerAfterLine)
            expected = -1;
        const auto active = lyrics.activeGroup(t);
        ASSERT_EQ(active ? active->index : -1, expected) << "t = " << t;
    }
}

TEST(ActiveGroupLookup, AllocatesNothing)
{
    const TimedLyrics lyrics = manyLines(600);
    const long before = allocationsOnThisThread();
    qsizetype found = 0;
    for (double t = 0; t < 2400.0; t += 0.37)
        found += lyrics.activeGroup(t).has_value() ? 1 : 0;
    EXPECT_EQ(allocationsOnThisThread() - before, 0);
    EXPECT_GT(found, 0);
}

TEST(ActiveGroupLookup, CopiesShareTheirGroupsAndStayValid)
{
    TimedLyrics copy;
    {
        const TimedLyrics original = twoLines();
        copy = original;
    }
    const auto active = copy.activeGroup(5.5);
    ASSERT_TRUE(active.has_value());
    EXPECT_EQ(active->group->first().text, QStringLiteral("three"));
}

TEST(LyricTierRaw, IsExactAndCaseSensitive)
{
    EXPECT_EQ(lyricTierFromRawValue(u"wordLevel"), LyricTier::wordLevel);
    EXPECT_EQ(lyricTierFromRawValue(u"interpolated"), LyricTier::interpolated);
    EXPECT_EQ(lyricTierFromRawValue(u"WordLevel"), std::nullopt);
    EXPECT_EQ(lyricTierFromRawValue(u"interpolated "), std::nullopt);
    EXPECT_EQ(rawValue(LyricTier::wordLevel), QStringLiteral("wordLevel"));
}

}  // namespace
