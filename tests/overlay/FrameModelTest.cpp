#include "overlay/FrameModel.h"
#include "overlay/NextLineChange.h"
#include "overlay/StackSizing.h"

#include "OverlayTestSupport.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {

const Color red{1, 0, 0, 1}, green{0, 1, 0, 1}, blue{0, 0, 1, 1}, contrast{0.5, 0.5, 0.5, 1};
const auto always = [](const QString&) -> std::optional<WordVisual> { return WordVisual::emoji(QStringLiteral("x")); };
constexpr double degree = std::numbers::pi / 180;

Frame build(const TimedLyrics& lyrics, LyricStyle style, double playhead, QSizeF display = {2000, 1000},
            VisualLookup visualFor = {}, const TextMeasurer* measurer = nullptr, double textScale = 1.0)
{
    static const FakeTextMeasurer fake;
    FrameInput input;
    input.frameTime = 100;
    input.playhead = playhead;
    input.lyrics = &lyrics;
    input.settings = {style, red, green, blue, contrast, LyricFont::sfPro, textScale};
    input.displaySize = display;
    input.measurer = measurer ? measurer : &fake;
    input.visualFor = std::move(visualFor);
    return FrameModel::build(input);
}

QStringList texts(const Frame& frame)
{
    QStringList list;
    for (const FrameRow& row : frame.rows)
        list.append(row.text);
    return list;
}

QList<TimedWord> manyWords(int count, const QString& text)
{
    QList<TimedWord> words;
    for (int i = 0; i < count; ++i)
        words.append(timedWord(text, 10 + 0.1 * i, 10.1 + 0.1 * i));
    return words;
}

// Seven words of one line, six started (starts 10 … 15, playhead 15.5).
TEST(FrameModel, EachLookShowsItsWindowOfTheLastStartedWords)
{
    const TimedLyrics lyrics = evenLine(7);
    const std::pair<LyricStyle, QStringList> cases[] = {{LyricStyle::ship, {"w1", "w2", "w3", "w4", "w5"}},
                                                        {LyricStyle::visual, {"w2", "w3", "w4", "w5"}},
                                                        {LyricStyle::fisheye, {"w3", "w4", "w5"}},
                                                        {LyricStyle::fisheyeVisual, {"w3", "w4", "w5"}}};
    for (const auto& [style, expected] : cases) {
        const Frame frame = build(lyrics, style, 15.5);
        EXPECT_EQ(texts(frame), expected);
        EXPECT_TRUE(frame.rows.last().isCurrent && !frame.rows.first().isCurrent && frame.line == 3 && frame.startedWords == 6);
    }
    EXPECT_EQ(texts(build(lyrics, LyricStyle::ship, 12.0)), (QStringList{"w0", "w1", "w2"}));
    EXPECT_EQ(texts(build(lyrics, LyricStyle::ship, std::nextafter(12.0, 0.0))), (QStringList{"w0", "w1"}));
    EXPECT_TRUE(build(lyrics, LyricStyle::ship, 9.99).rows.isEmpty());
    EXPECT_TRUE(build(lyrics, LyricStyle::ship, 17.8).rows.isEmpty());  // last end 17 + 0.8
    EXPECT_FALSE(build(lyrics, LyricStyle::ship, 17.79).rows.isEmpty());
    const Frame fifty = build(lyricsOf(manyWords(50, QStringLiteral("la"))), LyricStyle::ship, 14.95, {1920, 1080});
    EXPECT_EQ(fifty.rows.size(), 5);
    EXPECT_EQ(fifty.startedWords, 50);
    EXPECT_EQ(fifty.rows.last().start, 10 + 0.1 * 49);
    FrameInput noLyrics;  // the empty band is still placed and swaying
    noLyrics.frameTime = 7.0;
    noLyrics.displaySize = {2000, 1000};
    const Frame empty = FrameModel::build(noLyrics);
    EXPECT_TRUE(empty.rows.isEmpty() && !empty.line.has_value());
    EXPECT_EQ(empty.band, QRectF(0, 280, 2000, 559.9999999999999));
    EXPECT_NE(empty.sway.yaw, 0);
}

TEST(FrameModel, CarriesTheLooksSpringShadowLensAndFont)
{
    const TimedLyrics lyrics = evenLine(3);
    const Frame ship = build(lyrics, LyricStyle::ship, 12);
    EXPECT_EQ(ship.lineSpring, Spring(0.25, 0.7));
    EXPECT_EQ(std::make_tuple(ship.shadow.radius, ship.shadow.offsetY, ship.lensEnabled, ship.insertionScale),
              std::make_tuple(16.0, 4.0, false, 0.3));
    const Frame fisheye = build(lyrics, LyricStyle::fisheyeVisual, 12);
    EXPECT_EQ(fisheye.lineSpring, Spring(0.28, 0.72));
    EXPECT_EQ(std::make_tuple(fisheye.shadow.radius, fisheye.shadow.offsetY, fisheye.lensEnabled, fisheye.insertionScale),
              std::make_tuple(20.0, 5.0, true, 0.6));
    EXPECT_EQ(fisheye.sway.transform(), QTransform());
    EXPECT_EQ(fisheye.font, LyricFont::sfPro);
}

// Hashes with the chip salt: 25.94 → 0.1999, 96.51 → 0.2 exactly, 1.0 → 0.9827; start 1.0 has
// tilt hash 0.8907 and offset hash 0.5409.
TEST(FrameModel, ShipChipsColoursTiltAndIndent)
{
    const TimedLyrics lyrics = lyricsOf({timedWord("chip", 25.94, 26.5), timedWord("plain", 96.51, 97), timedWord("last", 97, 98)});
    const Frame frame = build(lyrics, LyricStyle::ship, 97.5);
    const FrameRow& chip = frame.rows[0];
    EXPECT_EQ(std::make_tuple(chip.chip, chip.textColor, chip.chipColor, chip.opacity), std::make_tuple(true, contrast, green, 0.7));
    EXPECT_NEAR(chip.chipPaddingX, 0.14 * chip.pointSize, 1e-12);
    EXPECT_NEAR(chip.chipPaddingY, 0.02 * chip.pointSize, 1e-12);
    EXPECT_EQ(std::make_tuple(frame.rows[1].chip, frame.rows[1].textColor, frame.rows[1].opacity), std::make_tuple(false, blue, 1.0));
    EXPECT_EQ(build(lyricsOf({timedWord("chip", 25.94, 26.5)}), LyricStyle::ship, 26).rows[0].opacity, 1.0);

    const TimedLyrics one = lyricsOf({timedWord("hi", 1.0, 1.2), timedWord("two", 2, 2.2)});
    const FrameRow wide = build(one, LyricStyle::ship, 1.9).rows[0];  // current after its end
    const FrameRow small = build(one, LyricStyle::ship, 1.9, {800, 600}).rows[0];
    EXPECT_EQ(wide.textColor, red);
    EXPECT_NEAR(wide.tilt, (2 * 0.8907 - 1) * 4.5 * degree, 1e-12);
    EXPECT_EQ(small.tilt, wide.tilt);
    EXPECT_NEAR(wide.offset, 2000 * 0.14 * 0.5409, 1e-9);
    EXPECT_NEAR(small.offset, 800 * 0.14 * 0.5409, 1e-9);
    const std::tuple<LyricStyle, double, double> centred[] = {{LyricStyle::visual, 3, 0.06}, {LyricStyle::fisheye, 2.5, 0.045}};
    for (const auto& [style, tilt, offset] : centred) {
        const FrameRow row = build(one, style, 1.5).rows[0];
        EXPECT_NEAR(row.tilt, (2 * 0.8907 - 1) * tilt * degree, 1e-12);
        EXPECT_NEAR(row.offset, 2000 * offset * (2 * 0.5409 - 1), 1e-9);
        EXPECT_FALSE(row.chip);
    }
}

// The fake ink runs from x 3 to advance − 3 and from 72 above the baseline to 5 below; the line
// box top is 90 above it. At size p everything scales by p / 100.
TEST(FrameModel, TheCurrentCentredWordSitsOnItsGlyphBox)
{
    const Frame frame = build(evenLine(7), LyricStyle::visual, 15.5);
    const FrameRow& current = frame.rows.last();
    EXPECT_EQ(std::make_pair(current.textColor, current.glyphBoxColor), std::make_pair(contrast, green));
    ASSERT_TRUE(current.glyphBox.has_value());
    const double s = current.pointSize / 100;
    EXPECT_NEAR(current.glyphBox->x(), 3 * s, 1e-9);
    EXPECT_NEAR(current.glyphBox->y(), (90 - 72) * s, 1e-9);
    EXPECT_NEAR(current.glyphBox->width(), 94 * s, 1e-9);
    EXPECT_NEAR(current.glyphBox->height(), 77 * s, 1e-9);
    EXPECT_NEAR(current.baseline, 90 * s, 1e-9);
    EXPECT_TRUE(frame.rows[0].textColor == blue && !frame.rows[0].glyphBox);
}

// 106.98 hashes to 0.4999 with the icon-side salt, 47.78 to 0.5.
TEST(FrameModel, PictogramsComeWithTheFrameAndSitOnTheHashedSide)
{
    const TimedLyrics lyrics = lyricsOf({timedWord("a", 47.78, 48), timedWord("b", 106.98, 107)});
    const Frame frame = build(lyrics, LyricStyle::visual, 106.99, {2000, 1000}, always);
    const FrameRow& after = frame.rows[0];
    const FrameRow& before = frame.rows[1];
    EXPECT_EQ(std::make_pair(after.iconSide, before.iconSide), std::make_pair(IconSide::after, IconSide::before));
    EXPECT_EQ(before.visual, WordVisual::emoji(QStringLiteral("x")));
    EXPECT_GT(after.iconBox.left(), after.textOrigin.x());
    EXPECT_LT(before.iconBox.right(), before.textOrigin.x());
    EXPECT_NEAR(before.iconPointSize, 0.62 * before.pointSize, 1e-12);
    EXPECT_EQ(before.iconColor, green);

    int asked = 0;
    const auto counting = [&asked](const QString& word) {
        ++asked;
        return always(word);
    };
    for (LyricStyle style : {LyricStyle::ship, LyricStyle::fisheye}) {
        const Frame plain = build(evenLine(7), style, 15.5, {2000, 1000}, counting);
        EXPECT_TRUE(std::all_of(plain.rows.cbegin(), plain.rows.cend(), [](const FrameRow& row) { return !row.visual; }));
    }
    EXPECT_EQ(asked, 0);
    EXPECT_FALSE(build(evenLine(7), LyricStyle::fisheyeVisual, 15.5, {2000, 1000}, counting).watermark);
    EXPECT_EQ(asked, 3) << "once per drawn word";
}

TEST(FrameModel, TheWatermarkFollowsOnlyTheCurrentWord)
{
    const auto onlyW4 = [](const QString& word) -> std::optional<WordVisual> {
        return word == u"w4" ? std::optional(WordVisual::symbol(QStringLiteral("sun.max.fill"))) : std::nullopt;
    };
    const Frame withMark = build(evenLine(7), LyricStyle::visual, 14.5, {2000, 1000}, onlyW4);
    ASSERT_TRUE(withMark.watermark.has_value());
    const Watermark& mark = *withMark.watermark;
    EXPECT_EQ(std::make_tuple(mark.start, mark.visual, mark.opacity, mark.symbolColor, mark.centre),
              std::make_tuple(14.0, WordVisual::symbol(QStringLiteral("sun.max.fill")), 0.08, red, QPointF(1000, 0.5 * 559.9999999999999)));
    EXPECT_NEAR(mark.pointSize, 0.55 * 0.5599999999999999 * 1000, 1e-9);
    const Frame withoutMark = build(evenLine(7), LyricStyle::visual, 15.5, {2000, 1000}, onlyW4);
    EXPECT_FALSE(withoutMark.watermark.has_value());
    EXPECT_NE(withoutMark.rows[withoutMark.rows.size() - 2].iconSide, IconSide::none);
}

// "hi" at 1.0 on 2000 × 1000: size 75 / 0.7 = 107.142857, the line box 100 s by 115 s with
// s = 1.0714; the ship indent 2000 × 0.14 × 0.5409 = 151.452, the one-row stack centred with its
// indent; visual centres on the middle, then offsets by 2000 × 0.06 × (2 × 0.5409 − 1).
TEST(FramePlacement, OneWordOnHandComputedCoordinates)
{
    const TimedLyrics lyrics = lyricsOf({timedWord("hi", 1.0, 2.0)});
    const FrameRow row = build(lyrics, LyricStyle::ship, 1.5).rows[0];
    EXPECT_NEAR(row.pointSize, 107.14285714285717, 1e-9);
    EXPECT_NEAR(row.box.left(), 1022.1545714285714, 1e-9);
    EXPECT_NEAR(row.box.top(), 218.39285714285708, 1e-9);
    EXPECT_NEAR(row.box.width(), 107.14285714285717, 1e-9);
    EXPECT_NEAR(row.box.height(), 123.21428571428574, 1e-9);
    EXPECT_EQ(row.textOrigin, row.box.topLeft());
    EXPECT_NEAR(build(lyrics, LyricStyle::visual, 1.5).rows[0].box.left(), 956.2445714285715, 1e-9);
}

// Starts 10, 12, 13 hash to no chip: rows overlap by 0.012 × H and share a leading edge.
TEST(FramePlacement, ShipRowsOverlapAndShareALeadingEdge)
{
    const Frame frame = build(lyricsOf({timedWord("ab", 10, 11), timedWord("abcd", 12, 13), timedWord("abc", 13, 14)}),
                              LyricStyle::ship, 13.5);
    ASSERT_EQ(frame.rows.size(), 3);
    double widest = 0;
    for (const FrameRow& row : frame.rows)
        widest = std::max(widest, row.offset + row.box.width());
    for (const FrameRow& row : frame.rows)
        EXPECT_NEAR(row.box.left() - row.offset, (2000 - widest) / 2, 1e-9);
    EXPECT_NEAR(frame.rows[1].box.top(), frame.rows[0].box.bottom() - 12, 1e-9);
    EXPECT_NEAR(frame.rows[2].box.top(), frame.rows[1].box.bottom() - 12, 1e-9);
    EXPECT_NEAR(frame.rows[0].box.top() + frame.rows[2].box.bottom(), 559.9999999999999, 1e-9);
}

// A full ship stack with a chip on top (start 11 hashes to 0.1988) is taller than the band: the
// whole stack zooms out until the chip's block is inside, keeping its proportions.
TEST(FramePlacement, AFullStackWithAChipOnTopIsZoomedIntoTheBand)
{
    const Frame frame = build(evenLine(7), LyricStyle::ship, 15.5);
    ASSERT_TRUE(frame.rows[0].chip);
    EXPECT_LT(frame.rows[0].pointSize, 107.14285714285714);
    EXPECT_GT(frame.rows[0].pointSize, 0.95 * 107.14285714285714);
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
    int font = 0;  // 0 fake, 1 missing, 2 broken
};
void PrintTo(const BadInputCase& c, std::ostream* out) { *out << c.name; }
const QList<TimedWord> fiveWords = manyWords(5, QStringLiteral("word"));
class BadInput : public ::testing::TestWithParam<std::tuple<BadInputCase, LyricStyle>> {};

bool isFinite(const QRectF& r) { return std::isfinite(r.x() + r.y() + r.width() + r.height()); }

// Whatever the input: nothing that is not a number, every row inside its band, and no word wider
// than its stack allows.
TEST_P(BadInput, StaysInsideTheBand)
{
    const auto& [input, style] = GetParam();
    const FakeTextMeasurer fake;
    OddFontMeasurer odd;
    odd.broken = input.font == 2;
    const TextMeasurer& measurer = input.font == 0 ? static_cast<const TextMeasurer&>(fake) : odd;
    const TimedLyrics lyrics = lyricsOf(input.words);
    const Frame frame = build(lyrics, style, input.playhead, input.display, always, &measurer, input.textScale);
    ASSERT_TRUE(isFinite(frame.band));
    EXPECT_LE(frame.rows.size(), Frame::maxRows);
    const double slack = 1e-9 * std::max(1.0, frame.band.width() + frame.band.height());
    const bool fisheye = style == LyricStyle::fisheye || style == LyricStyle::fisheyeVisual;
    const double widthLimit = (fisheye ? 0.42 * input.textScale : 0.62) * frame.band.width();
    for (const FrameRow& row : frame.rows) {
        ASSERT_TRUE(std::isfinite(row.pointSize) && row.pointSize >= 0) << row.pointSize;
        ASSERT_TRUE(isFinite(row.box) && isFinite(row.drawnBounds) && std::isfinite(row.tilt + row.textOrigin.x()));
        const QRectF& r = row.drawnBounds;
        EXPECT_TRUE(r.left() >= -slack && r.top() >= -slack && r.right() <= frame.band.width() + slack
                    && r.bottom() <= frame.band.height() + slack);
        EXPECT_LE(usableWordMetrics(measurer, LyricFont::sfPro, row.text).advance * row.pointSize / 100, widthLimit + slack);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadInput,
    ::testing::Combine(
        ::testing::Values(BadInputCase{"zero_size_display", {0, 0}, fiveWords, 10.45},
                          BadInputCase{"one_point_display", {1, 1}, fiveWords, 10.45},
                          BadInputCase{"zero_width_display", {0, 1080}, fiveWords, 10.45},
                          BadInputCase{"negative_display", {-1920, -1080}, fiveWords, 10.45},
                          BadInputCase{"display_not_a_number", {NAN, INFINITY}, fiveWords, 10.45},
                          BadInputCase{"narrow_portrait_display", {200, 2000}, fiveWords, 10.45},
                          BadInputCase{"word_of_300_characters", {1920, 1080}, manyWords(3, QString(300, u'm')), 10.25},
                          BadInputCase{"line_of_50_words", {1920, 1080}, manyWords(50, QStringLiteral("la")), 14.95},
                          BadInputCase{"largest_text_scale", {1920, 1080}, fiveWords, 10.45, 4.0},
                          BadInputCase{"smallest_text_scale", {1920, 1080}, fiveWords, 10.45, 0.25},
                          BadInputCase{"missing_font", {1920, 1080}, fiveWords, 10.45, 1.0, 1},
                          BadInputCase{"broken_font_metrics", {1920, 1080}, fiveWords, 10.45, 1.0, 2},
                          BadInputCase{"playhead_not_a_number", {1920, 1080}, fiveWords, NAN}),
        ::testing::Values(LyricStyle::ship, LyricStyle::fisheye, LyricStyle::visual, LyricStyle::fisheyeVisual)),
    [](const auto& info) {
        return std::get<0>(info.param).name + ("_" + rawValue(std::get<1>(info.param)).remove(u' ').toStdString());
    });

// Two lines: words at 10, 11, 12 (line 1, last ends 13) and 20, 21 (line 2, last ends 22); the
// band changes at the next word, at the end of a linger (0.8 s), or at the next line.
TEST(NextLineChange, IsTheFirstInstantTheShownWordsDiffer)
{
    const TimedLyrics lyrics = lyricsOf({timedWord("a", 10, 11, 1), timedWord("b", 11, 12, 1), timedWord("c", 12, 13, 1),
                                         timedWord("d", 20, 21, 2), timedWord("e", 21, 22, 2)});
    const std::pair<double, std::optional<double>> cases[] = {{0, 10}, {10, 11}, {11.5, 12}, {12.5, 13.8}, {13.8, 20},
                                                              {21.5, 22.8}, {22.8, std::nullopt}, {NAN, std::nullopt}};
    for (const auto& [playhead, expected] : cases) {
        const auto next = nextLineChange(lyrics, playhead);
        ASSERT_EQ(next.has_value(), expected.has_value()) << playhead;
        if (next)
            EXPECT_DOUBLE_EQ(*next, *expected) << playhead;
    }
    const TimedLyrics overlap = lyricsOf({timedWord("a", 10, 11, 1), timedWord("b", 11.3, 12, 2)});
    EXPECT_DOUBLE_EQ(*nextLineChange(overlap, 10.5), 11.3) << "a next line starting during the linger comes first";
}

}  // namespace
