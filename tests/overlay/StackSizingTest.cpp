#include "overlay/FisheyeStack.h"
#include "overlay/StackSizing.h"
#include "OverlayTestSupport.h"
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
// On 2000 × 1000 a weight-1 word wants 1000 × 0.075 / 0.7 points; the fisheye base cap height is 147.
struct SizingCase {
    const char* name;
    bool fisheye;
    QList<TimedWord> words;
    double textScale;
    QList<double> expected;
};

class WordSizes : public ::testing::TestWithParam<SizingCase> {};

TEST_P(WordSizes, MatchHandComputation)
{
    const FakeTextMeasurer measurer;
    const SizingCase& c = GetParam();
    const LyricType type{measurer, LyricFont::sfPro, c.textScale};
    const auto sizes = (c.fisheye ? fisheyeWordSizes : stackWordSizes)(c.words, 2000, 1000, type);
    ASSERT_EQ(sizes.size(), c.expected.size());
    for (qsizetype i = 0; i < sizes.size(); ++i)
        EXPECT_NEAR(sizes[i], c.expected[i], 1e-9) << "word " << i;
}

QList<TimedWord> words(QList<std::pair<double, double>> times, const QString& text = u"ab"_s)
{
    QList<TimedWord> list;
    for (const auto& [start, end] : times)
        list.append(timedWord(text, start, end));
    return list;
}

const QList<TimedWord> short4Long1 = words({{0, 0.1}, {1, 1.1}, {2, 2.1}, {3, 3.1}, {4, 8}});
const QList<TimedWord> even3 = words({{0, 1}, {1, 2}, {2, 3}}), five = words({{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}});
const QList<TimedWord> forty3 = words({{0, 1}, {1, 2}, {2, 3}}, QString(40, u'a'));  // 2000 wide
const double one = 107.14285714285714, low = 80.357142857142857, low2 = 105.4945054945055;

INSTANTIATE_TEST_SUITE_P(
    Cases, WordSizes,
    ::testing::Values(
        SizingCase{"no_words", false, {}, 1.0, {}},
        // mean 0.88 s: √(0.1/0.88) = 0.34 clamps to 0.75, √(4/0.88) = 2.13 to 1.55; caps 341.25 < 448
        SizingCase{"short_and_long_words_clamp", false, short4Long1, 1.0, {low, low, low, low, 166.07142857142857}},
        // caps past 0.56 × 1000 × 0.8 = 448 shrink together, keeping 1.55 / 0.75
        SizingCase{
            "caps_past_four_fifths_shrink", false, short4Long1, 2.0, {low2, low2, low2, low2, 218.02197802197804}},
        // a reversed word counts as 0.01 s: mean 0.025, weights √0.4 → 0.75 and √1.6 = 1.2649
        SizingCase{"reversed_word_is_a_hundredth", false, words({{3, 2}, {4, 4.04}}), 1.0, {low, 135.5261854357877}},
        SizingCase{"end_nan_is_a_hundredth", false, words({{3, NAN}, {4, 4.01}}), 1.0, {one, one}},
        // 300 characters measure 15000: 0.62 × 2000 × 100 / 15000
        SizingCase{
            "long_word_0_62_of_the_width", false, words({{1, 9}}, QString(300, u'a')), 1.0, {8.2666666666666667}},
        SizingCase{"fisheye_one_word_full_base", true, words({{0, 1}}), 1.0, {210}},
        SizingCase{"fisheye_two_words_older_full", true, words({{0, 1}, {1, 2}}), 1.0, {210, 178.5}},
        SizingCase{"fisheye_three_words_middle_largest", true, even3, 1.0, {142.8, 210, 142.8}},
        SizingCase{"fisheye_sizes_the_last_three", true, five, 1.0, {142.8, 210, 142.8}},
        // width limits 0.42 × 2000 × (0.58, 1, 0.58), × 100 / 2000
        SizingCase{"fisheye_long_words_limited_by_position", true, forty3, 1.0, {24.36, 42, 24.36}},
        SizingCase{"fisheye_doubled_scale_height_limited", true, even3, 2.0, {285.6, 420, 285.6}},
        SizingCase{"fisheye_doubled_scale_width_limited", true, forty3, 2.0, {48.72, 84, 48.72}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FittedWordSize, AWordMeasuringNothingKeepsItsCapHeightSize)
{
    FakeTextMeasurer measurer;
    measurer.advanceOverrides.insert(u"ab"_s, 0);
    EXPECT_NEAR(fittedWordSize(u"ab"_s, 1.0, 70, measurer, LyricFont::sfPro), 100, 1e-12);
    EXPECT_NEAR(stackWordSizes(words({{0, 1}}), 2000, 1000, {measurer, LyricFont::sfPro, 1.0})[0], one, 1e-9);
    EXPECT_NEAR(fittedWordSize(u"ab"_s, 500, 7, OddFontMeasurer(), LyricFont::sfPro), 700, 1e-12)
        << "a font without cap height counts one point";
}
}  // namespace
