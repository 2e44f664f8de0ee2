#include "overlay/FrameModel.h"

#include "overlay/StackSizing.h"
#include "settings/AppSettings.h"

#include "OverlayTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

Frame buildFrame(const TimedLyrics& lyrics, const TextMeasurer& measurer, LyricStyle style, double playhead,
                 QSizeF display, double textScale = 1.0, HasVisual hasVisual = {})
{
    FrameInput input;
    input.frameTime = 50;
    input.playhead = playhead;
    input.lyrics = &lyrics;
    input.settings.style = style;
    input.settings.textScale = textScale;
    input.displaySize = display;
    input.measurer = &measurer;
    input.hasVisual = std::move(hasVisual);
    return FrameModel::build(input);
}

// "hi" at 1.0 (offset hash 0.5409, no chip) on 2000 × 1000: size 75 / 0.7 = 107.142857, so the
// line box is 100 × s by 115 × s with s = 1.0714; the ship indent is 2000 × 0.14 × 0.5409 = 151.452
// and the one-row stack, indent included, is centred: left (2000 − 258.595) / 2 + 151.452.
TEST(RowPlacement, OneShipWordOnHandComputedCoordinates)
{
    FakeTextMeasurer measurer;
    const TimedLyrics lyrics(LyricTier::wordLevel, {timedWord(QStringLiteral("hi"), 1.0, 2.0)});
    const FrameRow row = buildFrame(lyrics, measurer, LyricStyle::ship, 1.5, {2000, 1000}).rows[0];
    EXPECT_NEAR(row.pointSize, 107.14285714285717, 1e-9);
    EXPECT_NEAR(row.box.left(), 1022.1545714285714, 1e-9);
    EXPECT_NEAR(row.box.top(), 218.39285714285708, 1e-9);
    EXPECT_NEAR(row.box.width(), 107.14285714285717, 1e-9);
    EXPECT_NEAR(row.box.height(), 123.21428571428574, 1e-9);
    EXPECT_EQ(row.textOrigin, row.box.topLeft());
}

// The same word in visual: centred on the band's middle, then offset by 2000 × 0.06 × (2 × 0.5409 − 1).
TEST(RowPlacement, OneVisualWordIsCentredThenOffset)
{
    FakeTextMeasurer measurer;
    const TimedLyrics lyrics(LyricTier::wordLevel, {timedWord(QStringLiteral("hi"), 1.0, 2.0)});
    const FrameRow row = buildFrame(lyrics, measurer, LyricStyle::visual, 1.5, {2000, 1000}).rows[0];
    EXPECT_NEAR(row.box.left(), 956.2445714285715, 1e-9);
}

// Starts 10, 12, 13 hash to no chip: three plain rows whose neighbours overlap by 0.012 × H.
TEST(RowPlacement, ShipRowsOverlapAndShareALeadingEdge)
{
    FakeTextMeasurer measurer;
    const TimedLyrics lyrics(LyricTier::wordLevel, {timedWord(QStringLiteral("ab"), 10, 11),
                                                    timedWord(QStringLiteral("abcd"), 12, 13),
                                                    timedWord(QStringLiteral("abc"), 13, 14)});
    const Frame frame = buildFrame(lyrics, measurer, LyricStyle::ship, 13.5, {2000, 1000});
    ASSERT_EQ(frame.rows.size(), 3);
    double widest = 0;
    for (const FrameRow& row : frame.rows) {
        ASSERT_FALSE(row.chip);
        widest = std::max(widest, row.offset + row.box.width());
    }
    for (qsizetype i = 0; i < 3; ++i)
        EXPECT_NEAR(frame.rows[i].box.left() - frame.rows[i].offset, (2000 - widest) / 2, 1e-9);
    EXPECT_NEAR(frame.rows[1].box.top(), frame.rows[0].box.bottom() - 12, 1e-9);
    EXPECT_NEAR(frame.rows[2].box.top(), frame.rows[1].box.bottom() - 12, 1e-9);
    // The stack's middle is the band's middle.
    EXPECT_NEAR(frame.rows[0].box.top() + frame.rows[2].box.bottom(), 559.9999999999999, 1e-9);
}

// A full ship stack of equal words with a chip on top (start 11 hashes to 0.1988) is taller than
// the band; the whole stack zooms out until the chip's block is inside, keeping its proportions.
TEST(BandFit, AFullStackWithAChipOnTopIsZoomedIntoTheBand)
{
    FakeTextMeasurer measurer;
    const TimedLyrics lyrics = evenLine(7);
    const Frame frame = buildFrame(lyrics, measurer, LyricStyle::ship, 15.5, {2000, 1000});
    ASSERT_TRUE(frame.rows[0].chip);
    const double unfitted = 107.14285714285714;
    EXPECT_LT(frame.rows[0].pointSize, unfitted);
    EXPECT_GT(frame.rows[0].pointSize, 0.95 * unfitted);
    for (const FrameRow& row : frame.rows) {
        EXPECT_NEAR(row.pointSize, frame.rows[0].pointSize, 1e-9);
        EXPECT_GE(row.drawnBounds.top(), -1e-9);
        EXPECT_LE(row.drawnBounds.bottom(), frame.band.height() + 1e-9);
    }
    EXPECT_NEAR(std::min(frame.rows[0].drawnBounds.top(), frame.rows[4].drawnBounds.top()), 0.0, 1e-9);
}

struct BadInputCase {
    const char* name;
    QSizeF display;
    QList<TimedWord> words;
    double playhead;
    double textScale = 1.0;
    int measurer = 0;  // 0 fake, 1 missing font, 2 broken font
};

void PrintTo(const BadInputCase& input, std::ostream* out)
{
    *out << input.name;
}

QList<TimedWord> manyWords(int count, const QString& text)
{
    QList<TimedWord> words;
    for (int i = 0; i < count; ++i)
        words.append(timedWord(text, 10 + 0.1 * i, 10.1 + 0.1 * i));
    return words;
}

const QList<TimedWord> fiveWords = manyWords(5, QStringLiteral("word"));

class BadInput : public ::testing::TestWithParam<std::tuple<BadInputCase, LyricStyle>> {};

bool isFinite(const QRectF& rect)
{
    return std::isfinite(rect.x()) && std::isfinite(rect.y()) && std::isfinite(rect.width())
           && std::isfinite(rect.height());
}

// Whatever the input: no crash, nothing that is not a number, every row inside its band, and no
// word wider than its stack allows.
TEST_P(BadInput, StaysInsideTheBand)
{
    const auto& [input, style] = GetParam();
    const FakeTextMeasurer fake;
    const MissingFontMeasurer missing;
    const BrokenFontMeasurer broken;
    const TextMeasurer* measurers[] = {&fake, &missing, &broken};
    const TextMeasurer& measurer = *measurers[input.measurer];
    const TimedLyrics lyrics(LyricTier::wordLevel, input.words);
    const auto always = [](const QString&) { return true; };
    const Frame frame = buildFrame(lyrics, measurer, style, input.playhead, input.display, input.textScale, always);

    ASSERT_TRUE(isFinite(frame.band));
    EXPECT_LE(frame.rows.size(), Frame::maxRows);
    const double slack = 1e-9 * std::max(1.0, frame.band.width() + frame.band.height());
    const bool fisheye = style == LyricStyle::fisheye || style == LyricStyle::fisheyeVisual;
    const double widthLimit = (fisheye ? 0.42 * drawingTextScale(input.textScale) : 0.62) * frame.band.width();
    for (const FrameRow& row : frame.rows) {
        ASSERT_TRUE(std::isfinite(row.pointSize) && row.pointSize >= 0) << row.pointSize;
        ASSERT_TRUE(isFinite(row.box) && isFinite(row.drawnBounds) && std::isfinite(row.tilt));
        ASSERT_TRUE(std::isfinite(row.textOrigin.x()) && std::isfinite(row.textOrigin.y()));
        EXPECT_GE(row.drawnBounds.left(), -slack);
        EXPECT_GE(row.drawnBounds.top(), -slack);
        EXPECT_LE(row.drawnBounds.right(), frame.band.width() + slack);
        EXPECT_LE(row.drawnBounds.bottom(), frame.band.height() + slack);
        const double textWidth = usableWordMetrics(measurer, LyricFont::sfPro, row.text).advance * row.pointSize / 100;
        EXPECT_LE(textWidth, widthLimit + slack);
    }
}

std::string badInputName(const ::testing::TestParamInfo<std::tuple<BadInputCase, LyricStyle>>& info)
{
    static const char* const styles[] = {"ship", "fisheye", "visual", "fisheyeVisual"};
    return std::string(std::get<0>(info.param).name) + "_" + styles[static_cast<int>(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadInput,
    ::testing::Combine(
        ::testing::Values(
            BadInputCase{"zero_size_display", {0, 0}, fiveWords, 10.45},
            BadInputCase{"one_point_display", {1, 1}, fiveWords, 10.45},
            BadInputCase{"zero_width_display", {0, 1080}, fiveWords, 10.45},
            BadInputCase{"negative_display", {-1920, -1080}, fiveWords, 10.45},
            BadInputCase{"display_not_a_number", {NAN, INFINITY}, fiveWords, 10.45},
            BadInputCase{"narrow_portrait_display", {200, 2000}, fiveWords, 10.45},
            BadInputCase{"word_of_300_characters", {1920, 1080}, manyWords(3, QString(300, u'm')), 10.25},
            BadInputCase{"line_of_50_words", {1920, 1080}, manyWords(50, QStringLiteral("la")), 14.95},
            BadInputCase{"largest_text_scale", {1920, 1080}, fiveWords, 10.45, 4.0},
            BadInputCase{"text_scale_not_a_number", {1920, 1080}, fiveWords, 10.45, NAN},
            BadInputCase{"missing_font", {1920, 1080}, fiveWords, 10.45, 1.0, 1},
            BadInputCase{"broken_font_metrics", {1920, 1080}, fiveWords, 10.45, 1.0, 2},
            BadInputCase{"playhead_not_a_number", {1920, 1080}, fiveWords, NAN}),
        ::testing::Values(LyricStyle::ship, LyricStyle::fisheye, LyricStyle::visual, LyricStyle::fisheyeVisual)),
    badInputName);

TEST(BadInputWindow, ALineOfFiftyWordsShowsOnlyTheWindow)
{
    FakeTextMeasurer measurer;
    const TimedLyrics lyrics(LyricTier::wordLevel, manyWords(50, QStringLiteral("la")));
    const Frame frame = buildFrame(lyrics, measurer, LyricStyle::ship, 14.95, {1920, 1080});
    EXPECT_EQ(frame.rows.size(), 5);
    EXPECT_EQ(frame.startedWords, 50);
    EXPECT_EQ(frame.rows.last().start, 10 + 0.1 * 49);
}

}  // namespace
