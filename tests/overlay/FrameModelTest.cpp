#include "overlay/FrameModel.h"
#include "overlay/NextLineChange.h"
#include "overlay/StackSizing.h"
#include "OverlayTestSupport.h"
#include <gtest/gtest.h>
#include <numbers>

using namespace Qt::StringLiterals;

namespace {
const Color red{1, 0, 0, 1}, green{0, 1, 0, 1}, blue{0, 0, 1, 1}, contrast{0.5, 0.5, 0.5, 1};
const auto always = [](const QString&) -> std::optional<WordVisual> { return WordVisual::emoji(u"x"_s); };
constexpr double degree = std::numbers::pi / 180;

Frame build(const TimedLyrics& lyrics, LyricStyle style, double playhead, QSizeF display = {2000, 1000},
            VisualLookup visualFor = {}, const TextMeasurer* measurer = nullptr, double textScale = 1.0)
{
    static const FakeTextMeasurer fake;
    const FrameSettings look{style, red, green, blue, contrast, LyricFont::sfPro, textScale};
    return FrameModel::build(
        {100, playhead, &lyrics, look, display, measurer ? measurer : &fake, std::move(visualFor)});
}

QList<TimedWord> manyWords(int count, const QString& text)
{
    QList<TimedWord> words;
    for (int i = 0; i < count; ++i)
        words.append(timedWord(text, 10 + 0.1 * i, 10.1 + 0.1 * i));
    return words;
}

// Seven one-second words from 10 s: each look's window of started words, the last shown until 0.8 s past its end.
TEST(FrameModel, EachLookShowsItsWindowOfTheLastStartedWords)
{
    const TimedLyrics lyrics = evenLine(7);
    const std::pair<LyricStyle, QStringList> cases[] = {{LyricStyle::ship, {"w1", "w2", "w3", "w4", "w5"}},
                                                        {LyricStyle::visual, {"w2", "w3", "w4", "w5"}},
                                                        {LyricStyle::fisheye, {"w3", "w4", "w5"}},
                                                        {LyricStyle::fisheyeVisual, {"w3", "w4", "w5"}},
                                                        {LyricStyle::ship, {"w0", "w1"}}};
    for (const auto& [style, expected] : cases) {
        const Frame frame = build(lyrics, style, expected.size() == 2 ? std::nextafter(12.0, 0.0) : 15.5);
        QStringList texts;
        for (const FrameRow& row : frame.rows)
            texts.append(row.text);
        EXPECT_EQ(texts, expected);
        EXPECT_TRUE(frame.rows.last().isCurrent && !frame.rows.first().isCurrent && frame.line == 3);
    }
    EXPECT_EQ(build(lyrics, LyricStyle::ship, 12.0).startedWords, 3);
    EXPECT_TRUE(build(lyrics, LyricStyle::ship, 9.99).rows.isEmpty());
    EXPECT_TRUE(build(lyrics, LyricStyle::ship, 17.8).rows.isEmpty());
    EXPECT_FALSE(build(lyrics, LyricStyle::ship, 17.79).rows.isEmpty());
    FrameInput noLyrics{7.0, 0, nullptr, {}, {2000, 1000}, nullptr, {}};  // still placed and swaying
    const Frame empty = FrameModel::build(noLyrics);
    EXPECT_TRUE(empty.rows.isEmpty() && !empty.line && empty.sway.yaw != 0);
    EXPECT_EQ(empty.band, QRectF(0, 280, 2000, 559.9999999999999));
}

// Chip hashes: 25.94 → 0.1999, 96.51 → 0.2 exactly; start 1.0 has tilt hash 0.8907, offset hash 0.5409.
TEST(FrameModel, ChipsColoursGlyphBoxTiltAndIndent)
{
    const Frame frame = build(
        lyricsOf({timedWord("chip", 25.94, 26.5), timedWord("plain", 96.51, 97), timedWord("last", 97, 98)}),
        LyricStyle::ship, 97.5);
    const FrameRow &chip = frame.rows[0], &plain = frame.rows[1];
    EXPECT_EQ(std::make_tuple(chip.chip, chip.textColor, chip.chipColor, chip.opacity),
              std::make_tuple(true, contrast, green, 0.7));
    EXPECT_NEAR(chip.chipPaddingX, 0.14 * chip.pointSize, 1e-12);
    EXPECT_NEAR(chip.chipPaddingY, 0.02 * chip.pointSize, 1e-12);
    EXPECT_EQ(std::make_tuple(plain.chip, plain.textColor, plain.opacity), std::make_tuple(false, blue, 1.0));
    EXPECT_EQ(build(lyricsOf({timedWord("chip", 25.94, 26.5)}), LyricStyle::ship, 26).rows[0].opacity, 1.0);

    const TimedLyrics one = lyricsOf({timedWord("hi", 1.0, 1.2), timedWord("two", 2, 2.2)});
    EXPECT_EQ(build(one, LyricStyle::ship, 1.9).rows[0].textColor, red);  // still current after its end
    const std::tuple<LyricStyle, double, double> looks[] = {{LyricStyle::ship, 4.5, 0.14 * 0.5409},
                                                            {LyricStyle::visual, 3.0, 0.06 * (2 * 0.5409 - 1)},
                                                            {LyricStyle::fisheye, 2.5, 0.045 * (2 * 0.5409 - 1)}};
    for (const auto& [style, tilt, offset] : looks) {
        const FrameRow row = build(one, style, 1.5, {800, 600}).rows[0];
        EXPECT_NEAR(row.tilt, (2 * 0.8907 - 1) * tilt * degree, 1e-12);
        EXPECT_NEAR(row.offset, 800 * offset, 1e-9);
    }
    // Visual's current word sits on its glyph box, the fake ink (x 3 to advance − 3, 72 up to 5 down) at p / 100.
    const Frame visual = build(evenLine(7), LyricStyle::visual, 15.5);
    const FrameRow& current = visual.rows.last();
    EXPECT_EQ(std::make_pair(current.textColor, current.glyphBoxColor), std::make_pair(contrast, green));
    const double s = current.pointSize / 100;
    const QRectF glyphBox = current.glyphBox.value_or(QRectF());
    EXPECT_NEAR((glyphBox.topLeft() - QPointF(3 * s, 18 * s)).manhattanLength()
                    + (glyphBox.bottomRight() - QPointF(97 * s, 95 * s)).manhattanLength(),
                0, 1e-9);
    EXPECT_NEAR(current.baseline, 90 * s, 1e-9);
    EXPECT_TRUE(visual.rows[0].textColor == blue && !visual.rows[0].glyphBox);
}

// Side hashes 106.98 → 0.4999, 47.78 → 0.5; asked once per drawn word where shown; Visual's current one behind.
TEST(FrameModel, PictogramsComeWithTheFrameOnTheHashedSide)
{
    const Frame frame = build(lyricsOf({timedWord("a", 47.78, 48), timedWord("b", 106.98, 107)}), LyricStyle::visual,
                              106.99, {2000, 1000}, always);
    const FrameRow &after = frame.rows[0], &before = frame.rows[1];
    EXPECT_EQ(std::make_tuple(after.iconSide, before.iconSide, before.visual, before.iconColor),
              std::make_tuple(IconSide::after, IconSide::before, always({}), green));
    EXPECT_TRUE(after.iconBox.left() > after.textOrigin.x() && before.iconBox.right() < before.textOrigin.x());
    EXPECT_NEAR(before.iconPointSize, 0.62 * before.pointSize, 1e-12);
    int asked = 0;
    const auto onlyW4 = [&asked](const QString& word) -> std::optional<WordVisual> {
        ++asked;
        return word == u"w4" ? std::optional(WordVisual::symbol(u"sun.max.fill"_s)) : std::nullopt;
    };
    for (LyricStyle style : {LyricStyle::ship, LyricStyle::fisheye})
        EXPECT_FALSE(build(evenLine(7), style, 14.5, {2000, 1000}, onlyW4).rows.last().visual);
    EXPECT_EQ(asked, 0);
    EXPECT_FALSE(build(evenLine(7), LyricStyle::fisheyeVisual, 14.5, {2000, 1000}, onlyW4).watermark);
    EXPECT_EQ(asked, 3);
    const Watermark mark =
        build(evenLine(7), LyricStyle::visual, 14.5, {2000, 1000}, onlyW4).watermark.value_or(Watermark());
    EXPECT_EQ(std::make_tuple(mark.start, mark.visual, mark.opacity, mark.symbolColor, mark.centre),
              std::make_tuple(14.0, *onlyW4(u"w4"_s), 0.08, red, QPointF(1000, 0.5 * 559.9999999999999)));
    EXPECT_NEAR(mark.pointSize, 0.55 * 0.5599999999999999 * 1000, 1e-9);
    const Frame later = build(evenLine(7), LyricStyle::visual, 15.5, {2000, 1000}, onlyW4);
    EXPECT_TRUE(!later.watermark && later.rows[later.rows.size() - 2].iconSide != IconSide::none);
}

// "hi" on 2000 × 1000: size 75 / 0.7, box 100 s × 115 s (s = 1.0714), ship indent 2000 × 0.14 × 0.5409.
TEST(FramePlacement, HandComputedCoordinatesOverlapAndZoom)
{
    const TimedLyrics lyrics = lyricsOf({timedWord("hi", 1.0, 2.0)});
    const FrameRow row = build(lyrics, LyricStyle::ship, 1.5).rows[0];
    EXPECT_NEAR(row.pointSize, 107.14285714285717, 1e-9);
    EXPECT_NEAR((row.box.topLeft() - QPointF(1022.1545714285714, 218.39285714285708)).manhattanLength(), 0, 1e-9);
    EXPECT_NEAR((row.box.bottomRight() - QPointF(1129.2974285714286, 341.6071428571428)).manhattanLength(), 0, 1e-9);
    EXPECT_EQ(row.textOrigin, row.box.topLeft());
    EXPECT_NEAR(build(lyrics, LyricStyle::visual, 1.5).rows[0].box.left(), 956.2445714285715, 1e-9);

    // Chipless rows overlap by 0.012 × H and centre; a full stack with a chip on top is zoomed into the band.
    const Frame frame = build(lyricsOf({timedWord("ab", 10, 11), timedWord("abcd", 12, 13), timedWord("abc", 13, 14)}),
                              LyricStyle::ship, 13.5);
    double widest = 0;
    for (const FrameRow& row : frame.rows)
        widest = std::max(widest, row.offset + row.box.width());
    for (qsizetype i = 0; i < 3; ++i)
        EXPECT_NEAR(frame.rows[i].box.left() - frame.rows[i].offset, (2000 - widest) / 2, 1e-9);
    for (qsizetype i = 1; i < 3; ++i)
        EXPECT_NEAR(frame.rows[i].box.top(), frame.rows[i - 1].box.bottom() - 12, 1e-9);
    EXPECT_NEAR(frame.rows[0].box.top() + frame.rows[2].box.bottom(), 559.9999999999999, 1e-9);
    const Frame full = build(evenLine(7), LyricStyle::ship, 15.5);
    EXPECT_TRUE(full.rows[0].chip && full.rows[0].pointSize < 107.14285714285714
                && full.rows[0].pointSize > 0.95 * 107.14285714285714);
    for (const FrameRow& row : full.rows)
        EXPECT_NEAR(row.pointSize, full.rows[0].pointSize, 1e-9);
    EXPECT_NEAR(std::min(full.rows[0].drawnBounds.top(), full.rows[4].drawnBounds.top()), 0.0, 1e-9);
}

struct BadInputCase {
    const char* name;
    QSizeF display;
    QList<TimedWord> words;
    double playhead, textScale = 1.0;
    int font = 0;  // 0 fake, 1 missing, 2 broken
};
void PrintTo(const BadInputCase& c, std::ostream* out) { *out << c.name; }
class BadInput : public ::testing::TestWithParam<std::tuple<BadInputCase, LyricStyle>> {};
bool isFinite(const QRectF& r) { return std::isfinite(r.x() + r.y() + r.width() + r.height()); }

// Whatever the input: only numbers, every row inside its band, no word wider than its stack allows.
TEST_P(BadInput, StaysInsideTheBand)
{
    const auto& [input, style] = GetParam();
    const FakeTextMeasurer fake;
    OddFontMeasurer odd;
    odd.broken = input.font == 2;
    const TextMeasurer& measurer = input.font ? static_cast<const TextMeasurer&>(odd) : fake;
    const Frame frame = build(lyricsOf(input.words), style, input.playhead, input.display, always, &measurer,
                              input.textScale);
    ASSERT_TRUE(isFinite(frame.band) && frame.rows.size() <= Frame::maxRows);
    const double slack = 1e-9 * std::max(1.0, frame.band.width() + frame.band.height());
    const double widthLimit = (styleTraits(style).isFisheye ? 0.42 * input.textScale : 0.62) * frame.band.width();
    for (const FrameRow& row : frame.rows) {
        ASSERT_TRUE(row.pointSize >= 0 && isFinite(row.box) && isFinite(row.drawnBounds)
                    && std::isfinite(row.tilt + row.textOrigin.x()));
        const QRectF& r = row.drawnBounds;
        EXPECT_TRUE(r.left() >= -slack && r.top() >= -slack && r.right() <= frame.band.width() + slack
                    && r.bottom() <= frame.band.height() + slack);
        EXPECT_LE(usableWordMetrics(measurer, LyricFont::sfPro, row.text).advance * row.pointSize / 100,
                  widthLimit + slack);
    }
}

const QList<TimedWord> fiveWords = manyWords(5, u"word"_s);
INSTANTIATE_TEST_SUITE_P(
    Cases, BadInput,
    ::testing::Combine(
        ::testing::Values(BadInputCase{"zero_size_display", {0, 0}, fiveWords, 10.45},
                          BadInputCase{"zero_width_display", {0, 1080}, fiveWords, 10.45},
                          BadInputCase{"negative_display", {-1920, -1080}, fiveWords, 10.45},
                          BadInputCase{"display_not_a_number", {NAN, INFINITY}, fiveWords, 10.45},
                          BadInputCase{"narrow_portrait_display", {200, 2000}, fiveWords, 10.45},
                          BadInputCase{"word_of_300_characters", {1920, 1080}, manyWords(3, QString(300, u'm')), 10.25},
                          BadInputCase{"line_of_50_words", {1920, 1080}, manyWords(50, u"la"_s), 14.95},
                          BadInputCase{"largest_text_scale", {1920, 1080}, fiveWords, 10.45, 4.0},
                          BadInputCase{"smallest_text_scale", {1920, 1080}, fiveWords, 10.45, 0.25},
                          BadInputCase{"missing_font", {1920, 1080}, fiveWords, 10.45, 1.0, 1},
                          BadInputCase{"broken_font_metrics", {1920, 1080}, fiveWords, 10.45, 1.0, 2},
                          BadInputCase{"playhead_not_a_number", {1920, 1080}, fiveWords, NAN}),
        ::testing::Values(LyricStyle::ship, LyricStyle::fisheye, LyricStyle::visual, LyricStyle::fisheyeVisual)),
    [](const auto& info) {
        return std::get<0>(info.param).name + ("_" + rawValue(std::get<1>(info.param)).remove(u' ').toStdString());
    });

// Changes come at the next word, a linger's end (0.8 s), the next line, or a next line cutting a linger short.
TEST(NextLineChange, IsTheFirstInstantTheShownWordsDiffer)
{
    const TimedLyrics lyrics = lyricsOf({timedWord("a", 10, 11, 1), timedWord("b", 11, 12, 1),
                                         timedWord("c", 12, 13, 1), timedWord("d", 20, 21, 2),
                                         timedWord("e", 21, 22, 2)});
    const std::pair<double, double> changes[] = {{0, 10}, {10, 11}, {11.5, 12}, {12.5, 13.8}, {13.8, 20}, {21.5, 22.8}};
    for (const auto& [playhead, expected] : changes)
        EXPECT_DOUBLE_EQ(nextLineChange(lyrics, playhead).value_or(-1), expected) << playhead;
    EXPECT_FALSE(nextLineChange(lyrics, 22.8) || nextLineChange(lyrics, NAN));
    EXPECT_DOUBLE_EQ(*nextLineChange(lyricsOf({timedWord("a", 10, 11, 1), timedWord("b", 11.3, 12, 2)}), 10.5), 11.3);
}
}  // namespace
