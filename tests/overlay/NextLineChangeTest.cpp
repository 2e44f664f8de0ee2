#include "overlay/NextLineChange.h"

#include "OverlayTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Two lines: words at 10, 11, 12 (line 1, last ends 13) and 20, 21 (line 2, last ends 22).
TimedLyrics twoLines()
{
    return TimedLyrics(LyricTier::wordLevel,
                       {timedWord(QStringLiteral("a"), 10, 11, 1), timedWord(QStringLiteral("b"), 11, 12, 1),
                        timedWord(QStringLiteral("c"), 12, 13, 1), timedWord(QStringLiteral("d"), 20, 21, 2),
                        timedWord(QStringLiteral("e"), 21, 22, 2)});
}

struct ChangeCase {
    double playhead;
    std::optional<double> next;
};

class NextLineChange : public ::testing::TestWithParam<ChangeCase> {};

TEST_P(NextLineChange, IsTheFirstInstantTheShownWordsDiffer)
{
    const TimedLyrics lyrics = twoLines();
    const ChangeCase& c = GetParam();
    const auto next = nextLineChange(lyrics, c.playhead);
    ASSERT_EQ(next.has_value(), c.next.has_value());
    if (next) {
        EXPECT_DOUBLE_EQ(*next, *c.next);
    }
    // Just before the change the band shows what it shows now; at it, something else.
    if (next && *next - c.playhead > 1e-6) {
        const auto now = lyrics.activeGroup(c.playhead);
        const auto before = lyrics.activeGroup(*next - 1e-6);
        const auto after = lyrics.activeGroup(*next);
        ASSERT_EQ(now.has_value(), before.has_value());
        if (now) {
            EXPECT_EQ(now->startedWords, before->startedWords);
        }
        const bool changed = now.has_value() != after.has_value()
                             || (now && (now->index != after->index || now->startedWords != after->startedWords));
        EXPECT_TRUE(changed);
    }
}

INSTANTIATE_TEST_SUITE_P(Playheads, NextLineChange,
                         ::testing::Values(ChangeCase{0, 10},          // before the first line
                                           ChangeCase{10, 11},         // at a word's start, the next word
                                           ChangeCase{11.5, 12},       //
                                           ChangeCase{12.5, 13.8},     // the last word: the linger's end
                                           ChangeCase{13.8, 20},       // between lines
                                           ChangeCase{21.5, 22.8},     // the last line lingers
                                           ChangeCase{22.8, std::nullopt},  // over
                                           ChangeCase{NAN, std::nullopt}));

TEST(NextLineChangeOverlap, ANextLineStartingDuringTheLingerComesFirst)
{
    const TimedLyrics lyrics(LyricTier::wordLevel, {timedWord(QStringLiteral("a"), 10, 11, 1),
                                                    timedWord(QStringLiteral("b"), 11.3, 12, 2)});
    EXPECT_DOUBLE_EQ(*nextLineChange(lyrics, 10.5), 11.3);
}

}  // namespace
