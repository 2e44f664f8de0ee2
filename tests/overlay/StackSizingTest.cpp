#include "overlay/FisheyeStack.h"
#include "overlay/StackSizing.h"

#include "OverlayTestSupport.h"

#include <gtest/gtest.h>

namespace {

// Every case on a 2000 × 1000 display with the fake font (cap ratio 0.7, 50 per character), so a
// weight-1 word at scale 1 wants 1000 × 0.075 / 0.7 = 107.142857… points.
struct SizingCase {
    const char* name;
    QList<TimedWord> words;
    double textScale;
    QList<double> expected;
};

class StackWordSizes : public ::testing::TestWithParam<SizingCase> {};

TEST_P(StackWordSizes, MatchesHandComputation)
{
    FakeTextMeasurer measurer;
    const auto& words = GetParam().words;
    const WordSizes sizes = stackWordSizes(std::span(words.constData(), words.size()), 2000, 1000,
                                           {measurer, LyricFont::sfPro, GetParam().textScale});
    ASSERT_EQ(sizes.size(), GetParam().expected.size());
    for (qsizetype i = 0; i < sizes.size(); ++i)
        EXPECT_NEAR(sizes[i], GetParam().expected[i], 1e-9) << "word " << i;
}

const QString ab = QStringLiteral("ab");

INSTANTIATE_TEST_SUITE_P(
    Cases, StackWordSizes,
    ::testing::Values(
        SizingCase{"no_words", {}, 1.0, {}},
        SizingCase{"one_word_has_weight_one", {timedWord(ab, 5, 5.3)}, 1.0, {107.14285714285714}},
        // mean 0.88 s: √(0.1/0.88) = 0.34 clamps to 0.75, √(4/0.88) = 2.13 to 1.55; caps total 341.25 < 448
        SizingCase{"short_and_long_words_clamp",
                   {timedWord(ab, 0, 0.1), timedWord(ab, 1, 1.1), timedWord(ab, 2, 2.1), timedWord(ab, 3, 3.1),
                    timedWord(ab, 4, 8)},
                   1.0,
                   {80.357142857142857, 80.357142857142857, 80.357142857142857, 80.357142857142857,
                    166.07142857142857}},
        // a reversed word counts as 0.01 s: mean 0.025, weights √0.4 → 0.75 and √1.6 = 1.2649
        SizingCase{"reversed_word_counts_as_a_hundredth",
                   {timedWord(ab, 3, 2), timedWord(ab, 4, 4.04)},
                   1.0,
                   {80.357142857142857, 135.5261854357877}},
        SizingCase{"end_not_a_number_counts_as_a_hundredth",
                   {timedWord(ab, 3, NAN), timedWord(ab, 4, 4.01)},
                   1.0,
                   {107.14285714285714, 107.14285714285714}},
        // 300 characters measure 15000: 0.62 × 2000 × 100 / 15000
        SizingCase{"long_word_limited_to_0.62_of_the_width",
                   {timedWord(QString(300, u'a'), 1, 9)},
                   1.0,
                   {8.2666666666666667}},
        // five weight-1 words at scale 2: caps 5 × 150 = 750 > 0.56 × 1000 × 0.8 = 448
        SizingCase{"caps_past_four_fifths_of_the_band_shrink_together",
                   {timedWord(ab, 0, 1), timedWord(ab, 1, 2), timedWord(ab, 2, 3), timedWord(ab, 3, 4),
                    timedWord(ab, 4, 5)},
                   2.0,
                   {127.99999999999997, 127.99999999999997, 127.99999999999997, 127.99999999999997,
                    127.99999999999997}}),
    [](const auto& info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), '.', '_');
        return name;
    });

TEST(StackWordSizesShrink, KeepsTheRelativeSizes)
{
    FakeTextMeasurer measurer;
    const QList<TimedWord> words = {timedWord(ab, 0, 0.1), timedWord(ab, 1, 1.1), timedWord(ab, 2, 2.1),
                                    timedWord(ab, 3, 3.1), timedWord(ab, 4, 8)};
    const WordSizes sizes = stackWordSizes(words, 2000, 1000, {measurer, LyricFont::sfPro, 2.0});
    double caps = 0;
    for (double size : sizes)
        caps += size * 0.7;
    EXPECT_NEAR(caps, 0.5599999999999999 * 1000 * 0.8, 1e-9);
    EXPECT_NEAR(sizes[4] / sizes[0], 1.55 / 0.75, 1e-12);
}

TEST(StackWordSizesWidth, AWordMeasuringNothingKeepsItsWantedSize)
{
    FakeTextMeasurer measurer;
    measurer.advanceOverrides.insert(ab, 0);
    const QList<TimedWord> words = {timedWord(ab, 0, 1)};
    EXPECT_NEAR(stackWordSizes(words, 2000, 1000, {measurer, LyricFont::sfPro, 1.0})[0], 107.14285714285714, 1e-9);
}

// Base cap height 0.147 × 1000 = 147; the fake font's size for a cap height c is c / 0.7.
struct FisheyeCase {
    const char* name;
    QStringList texts;
    double textScale;
    QList<double> expected;
};

class FisheyeWordSizes : public ::testing::TestWithParam<FisheyeCase> {};

TEST_P(FisheyeWordSizes, FollowThePositionProfile)
{
    FakeTextMeasurer measurer;
    QList<TimedWord> words;
    for (const QString& text : GetParam().texts)
        words.append(timedWord(text, words.size(), words.size() + 1.0));
    const WordSizes sizes = fisheyeWordSizes(words, 2000, 1000, {measurer, LyricFont::sfPro, GetParam().textScale});
    ASSERT_EQ(sizes.size(), GetParam().expected.size());
    for (qsizetype i = 0; i < sizes.size(); ++i)
        EXPECT_NEAR(sizes[i], GetParam().expected[i], 1e-9) << "word " << i;
}

const QString forty = QString(40, u'a');  // measures 2000: width-limited everywhere

INSTANTIATE_TEST_SUITE_P(
    Cases, FisheyeWordSizes,
    ::testing::Values(
        FisheyeCase{"one_word_full_base", {ab}, 1.0, {210}},
        FisheyeCase{"two_words_older_full", {ab, ab}, 1.0, {210, 178.5}},
        FisheyeCase{"three_words_middle_largest", {ab, ab, ab}, 1.0, {142.8, 210, 142.8}},
        FisheyeCase{"more_than_three_sizes_the_last_three", {ab, ab, ab, ab, ab}, 1.0, {142.8, 210, 142.8}},
        // width limits 0.42 × 2000 × (0.58, 1, 0.58), × 100 / 2000
        FisheyeCase{"long_words_limited_by_position", {forty, forty, forty}, 1.0, {24.36, 42, 24.36}},
        FisheyeCase{"one_long_word", {forty}, 1.0, {42}},
        FisheyeCase{"doubled_scale_doubles_height_limited", {ab, ab, ab}, 2.0, {285.6, 420, 285.6}},
        FisheyeCase{"doubled_scale_doubles_width_limited", {forty, forty, forty}, 2.0, {48.72, 84, 48.72}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FittedWordSize, AWordMeasuringNothingKeepsItsCapHeightSize)
{
    FakeTextMeasurer measurer;
    measurer.advanceOverrides.insert(ab, 0);
    EXPECT_NEAR(fittedWordSize(ab, 1.0, 70, measurer, LyricFont::sfPro), 100, 1e-12);
}

TEST(FittedWordSize, AFontWithoutCapHeightCountsOnePoint)
{
    MissingFontMeasurer measurer;
    EXPECT_NEAR(fittedWordSize(ab, 500, 7, measurer, LyricFont::sfPro), 700, 1e-12);
}

}  // namespace
