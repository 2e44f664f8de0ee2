#include "overlay/FrameModel.h"

#include "overlay/WordHash.h"
#include "settings/AppSettings.h"
#include "settings/JsonFileDefaultsStore.h"

#include "OverlayTestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <numbers>

namespace {

const Color red{1, 0, 0, 1};
const Color green{0, 1, 0, 1};
const Color blue{0, 0, 1, 1};
const Color contrast{0.5, 0.5, 0.5, 1};

FrameSettings settingsFor(LyricStyle style)
{
    FrameSettings settings;
    settings.style = style;
    settings.textColor = red;
    settings.highlightColor = green;
    settings.secondaryColor = blue;
    settings.contrastColor = contrast;
    return settings;
}

class FrameBuilder {
public:
    FakeTextMeasurer measurer;
    TimedLyrics lyrics = evenLine(7);

    Frame build(LyricStyle style, double playhead, QSizeF display = {2000, 1000}, HasVisual hasVisual = {}) const
    {
        FrameInput input;
        input.frameTime = 100;
        input.playhead = playhead;
        input.lyrics = &lyrics;
        input.settings = settingsFor(style);
        input.displaySize = display;
        input.measurer = &measurer;
        input.hasVisual = std::move(hasVisual);
        return FrameModel::build(input);
    }
};

QStringList texts(const Frame& frame)
{
    QStringList list;
    for (const FrameRow& row : frame.rows)
        list.append(row.text);
    return list;
}

struct WindowCase {
    const char* name;
    LyricStyle style;
    QStringList expected;
};

class WordWindowByStyle : public ::testing::TestWithParam<WindowCase> {};

// Seven words of one line, six started (starts 10 … 15, playhead 15.5).
TEST_P(WordWindowByStyle, ShowsTheLastStartedWords)
{
    const Frame frame = FrameBuilder().build(GetParam().style, 15.5);
    EXPECT_EQ(texts(frame), GetParam().expected);
    ASSERT_FALSE(frame.rows.isEmpty());
    for (qsizetype i = 0; i < frame.rows.size(); ++i)
        EXPECT_EQ(frame.rows[i].isCurrent, i + 1 == frame.rows.size());
    EXPECT_EQ(frame.line, 3);
    EXPECT_EQ(frame.startedWords, 6);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, WordWindowByStyle,
    ::testing::Values(WindowCase{"ship_five", LyricStyle::ship, {"w1", "w2", "w3", "w4", "w5"}},
                      WindowCase{"visual_four", LyricStyle::visual, {"w2", "w3", "w4", "w5"}},
                      WindowCase{"fisheye_three", LyricStyle::fisheye, {"w3", "w4", "w5"}},
                      WindowCase{"fisheye_visual_three", LyricStyle::fisheyeVisual, {"w3", "w4", "w5"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FrameWordChoice, AWordIsShownFromExactlyItsStart)
{
    const FrameBuilder builder;
    EXPECT_EQ(texts(builder.build(LyricStyle::ship, 12.0)), (QStringList{"w0", "w1", "w2"}));
    EXPECT_EQ(texts(builder.build(LyricStyle::ship, std::nextafter(12.0, 0.0))), (QStringList{"w0", "w1"}));
}

TEST(FrameWordChoice, AWordStaysCurrentAfterItsEnd)
{
    FrameBuilder builder;
    builder.lyrics = TimedLyrics(LyricTier::wordLevel, {timedWord(QStringLiteral("one"), 1, 1.2),
                                                        timedWord(QStringLiteral("two"), 2, 2.2)});
    const Frame ship = builder.build(LyricStyle::ship, 1.9);
    ASSERT_EQ(texts(ship), QStringList{"one"});
    ASSERT_FALSE(ship.rows[0].chip);  // start 1.0 hashes to 0.9827 with the chip salt
    EXPECT_EQ(ship.rows[0].textColor, red);
    const Frame visual = builder.build(LyricStyle::visual, 1.9);
    EXPECT_TRUE(visual.rows[0].glyphBox.has_value());
}

TEST(FrameWordChoice, NothingIsShownWithoutALine)
{
    const FrameBuilder builder;
    EXPECT_TRUE(builder.build(LyricStyle::ship, 9.99).rows.isEmpty());
    EXPECT_TRUE(builder.build(LyricStyle::ship, 17.8).rows.isEmpty());  // last end 17 + 0.8
    EXPECT_FALSE(builder.build(LyricStyle::ship, 17.79).rows.isEmpty());

    FrameInput noLyrics;
    noLyrics.frameTime = 7.0;
    noLyrics.displaySize = {2000, 1000};
    const Frame empty = FrameModel::build(noLyrics);
    EXPECT_TRUE(empty.rows.isEmpty());
    EXPECT_FALSE(empty.line.has_value());
    // The empty band is still placed and swaying.
    EXPECT_EQ(empty.band, QRectF(0, 280, 2000, 559.9999999999999));
    EXPECT_NE(empty.sway.yaw, 0);
}

TEST(FrameStyle, CarriesTheLineSpringShadowAndLens)
{
    const FrameBuilder builder;
    const Frame ship = builder.build(LyricStyle::ship, 12);
    EXPECT_EQ(ship.lineSpring, Spring(0.25, 0.7));
    EXPECT_EQ(ship.shadow.radius, 16);
    EXPECT_EQ(ship.shadow.offsetY, 4);
    EXPECT_FALSE(ship.lensEnabled);
    EXPECT_EQ(ship.insertionScale, 0.3);
    const Frame fisheye = builder.build(LyricStyle::fisheyeVisual, 12);
    EXPECT_EQ(fisheye.lineSpring, Spring(0.28, 0.72));
    EXPECT_EQ(fisheye.shadow.radius, 20);
    EXPECT_EQ(fisheye.shadow.offsetY, 5);
    EXPECT_TRUE(fisheye.lensEnabled);
    EXPECT_EQ(fisheye.insertionScale, 0.6);
    EXPECT_EQ(fisheye.sway.transform(), QTransform());
}

// Starts found by search: 25.94 hashes to 0.1999 with the chip salt, 96.51 to exactly 0.2.
TEST(ShipRows, ChipWordsBelowAFifth)
{
    FrameBuilder builder;
    builder.lyrics = TimedLyrics(LyricTier::wordLevel, {timedWord(QStringLiteral("chip"), 25.94, 26.5),
                                                        timedWord(QStringLiteral("plain"), 96.51, 97),
                                                        timedWord(QStringLiteral("last"), 97.0, 98)});
    const Frame frame = builder.build(LyricStyle::ship, 97.5);
    ASSERT_EQ(frame.rows.size(), 3);
    const FrameRow& chip = frame.rows[0];
    EXPECT_TRUE(chip.chip);
    EXPECT_EQ(chip.textColor, contrast);
    EXPECT_EQ(chip.chipColor, green);
    EXPECT_EQ(chip.opacity, 0.7);
    EXPECT_NEAR(chip.chipPaddingX, 0.14 * chip.pointSize, 1e-12);
    EXPECT_NEAR(chip.chipPaddingY, 0.02 * chip.pointSize, 1e-12);
    const FrameRow& plain = frame.rows[1];
    EXPECT_FALSE(plain.chip);
    EXPECT_EQ(plain.textColor, blue);
    EXPECT_EQ(plain.opacity, 1.0);
    EXPECT_EQ(plain.chipPaddingX, 0);
    EXPECT_FALSE(plain.glyphBox.has_value());
}

TEST(ShipRows, ACurrentChipIsOpaque)
{
    FrameBuilder builder;
    builder.lyrics = TimedLyrics(LyricTier::wordLevel, {timedWord(QStringLiteral("chip"), 25.94, 26.5)});
    const Frame frame = builder.build(LyricStyle::ship, 26);
    EXPECT_TRUE(frame.rows[0].chip);
    EXPECT_EQ(frame.rows[0].opacity, 1.0);
}

// Word start 1.0: tilt hash 0.8907, offset hash 0.5409 (see the word hash tests).
TEST(ShipRows, KeepTiltAndChipOnEveryDisplayWhileTheIndentScales)
{
    FrameBuilder builder;
    builder.lyrics = TimedLyrics(LyricTier::wordLevel, {timedWord(QStringLiteral("hi"), 1.0, 2.0)});
    const FrameRow wide = builder.build(LyricStyle::ship, 1.5, {2000, 1000}).rows[0];
    const FrameRow small = builder.build(LyricStyle::ship, 1.5, {800, 600}).rows[0];
    EXPECT_NEAR(wide.tilt, (2 * 0.8907 - 1) * 4.5 * std::numbers::pi / 180, 1e-12);
    EXPECT_EQ(small.tilt, wide.tilt);
    EXPECT_EQ(small.chip, wide.chip);
    EXPECT_NEAR(wide.offset, 2000 * 0.14 * 0.5409, 1e-9);
    EXPECT_NEAR(small.offset, 800 * 0.14 * 0.5409, 1e-9);
}

TEST(CentredRows, TiltAndOffsetByStyle)
{
    FrameBuilder builder;
    builder.lyrics = TimedLyrics(LyricTier::wordLevel, {timedWord(QStringLiteral("hi"), 1.0, 2.0)});
    const FrameRow visual = builder.build(LyricStyle::visual, 1.5).rows[0];
    EXPECT_NEAR(visual.tilt, (2 * 0.8907 - 1) * 3 * std::numbers::pi / 180, 1e-12);
    EXPECT_NEAR(visual.offset, 2000 * 0.06 * (2 * 0.5409 - 1), 1e-9);
    const FrameRow fisheye = builder.build(LyricStyle::fisheye, 1.5).rows[0];
    EXPECT_NEAR(fisheye.tilt, (2 * 0.8907 - 1) * 2.5 * std::numbers::pi / 180, 1e-12);
    EXPECT_NEAR(fisheye.offset, 2000 * 0.045 * (2 * 0.5409 - 1), 1e-9);
    EXPECT_FALSE(fisheye.chip);
}

TEST(CentredRows, TheCurrentWordSitsOnItsGlyphBox)
{
    const Frame frame = FrameBuilder().build(LyricStyle::visual, 15.5);
    const FrameRow& current = frame.rows.last();
    EXPECT_EQ(current.textColor, contrast);
    EXPECT_EQ(current.glyphBoxColor, green);
    // The fake ink runs from x 3 to advance − 3 (100 for "w5") and from 72 above the baseline to 5
    // below; the line box top is 90 above it. At size p everything scales by p / 100.
    ASSERT_TRUE(current.glyphBox.has_value());
    const double s = current.pointSize / 100;
    EXPECT_NEAR(current.glyphBox->x(), 3 * s, 1e-9);
    EXPECT_NEAR(current.glyphBox->y(), (90 - 72) * s, 1e-9);
    EXPECT_NEAR(current.glyphBox->width(), 94 * s, 1e-9);
    EXPECT_NEAR(current.glyphBox->height(), 77 * s, 1e-9);
    EXPECT_NEAR(current.baseline, 90 * s, 1e-9);
    for (qsizetype i = 0; i + 1 < frame.rows.size(); ++i) {
        EXPECT_EQ(frame.rows[i].textColor, blue);
        EXPECT_FALSE(frame.rows[i].glyphBox.has_value());
    }
}

// 106.98 hashes to 0.4999 with the icon-side salt, 47.78 to 0.5.
TEST(Pictograms, SideFollowsTheHash)
{
    FrameBuilder builder;
    builder.lyrics = TimedLyrics(LyricTier::wordLevel, {timedWord(QStringLiteral("a"), 47.78, 48),
                                                        timedWord(QStringLiteral("b"), 106.98, 107)});
    const auto always = [](const QString&) { return true; };
    const Frame frame = builder.build(LyricStyle::visual, 106.99, {2000, 1000}, always);
    ASSERT_EQ(frame.rows.size(), 2);
    const FrameRow& after = frame.rows[0];
    const FrameRow& before = frame.rows[1];
    EXPECT_EQ(after.iconSide, IconSide::after);
    EXPECT_EQ(before.iconSide, IconSide::before);
    EXPECT_GT(after.iconBox.left(), after.textOrigin.x());
    EXPECT_LT(before.iconBox.right(), before.textOrigin.x());
    EXPECT_NEAR(before.iconPointSize, 0.62 * before.pointSize, 1e-12);
    EXPECT_EQ(before.iconColor, green);
}

TEST(Pictograms, AreAskedForOnlyInThePictogramStyles)
{
    const FrameBuilder builder;
    int asked = 0;
    const auto counting = [&asked](const QString&) {
        ++asked;
        return true;
    };
    for (LyricStyle style : {LyricStyle::ship, LyricStyle::fisheye}) {
        const Frame frame = builder.build(style, 15.5, {2000, 1000}, counting);
        for (const FrameRow& row : frame.rows)
            EXPECT_EQ(row.iconSide, IconSide::none);
        EXPECT_FALSE(frame.watermark.has_value());
    }
    EXPECT_EQ(asked, 0);
    const Frame fisheyeVisual = builder.build(LyricStyle::fisheyeVisual, 15.5, {2000, 1000}, counting);
    EXPECT_EQ(asked, 3);
    EXPECT_FALSE(fisheyeVisual.watermark.has_value());
}

TEST(Pictograms, TheWatermarkFollowsOnlyTheCurrentWord)
{
    const FrameBuilder builder;
    const auto onlyW4 = [](const QString& word) { return word == QStringLiteral("w4"); };
    const Frame withMark = builder.build(LyricStyle::visual, 14.5, {2000, 1000}, onlyW4);
    ASSERT_TRUE(withMark.watermark.has_value());
    EXPECT_EQ(withMark.watermark->start, 14.0);
    EXPECT_NEAR(withMark.watermark->pointSize, 0.55 * 0.5599999999999999 * 1000, 1e-9);
    EXPECT_EQ(withMark.watermark->opacity, 0.08);
    EXPECT_EQ(withMark.watermark->symbolColor, red);
    EXPECT_EQ(withMark.watermark->centre, QPointF(1000, 0.5 * 559.9999999999999));
    // One word later the previous word keeps its icon but the watermark is gone.
    const Frame withoutMark = builder.build(LyricStyle::visual, 15.5, {2000, 1000}, onlyW4);
    EXPECT_FALSE(withoutMark.watermark.has_value());
    EXPECT_EQ(withoutMark.rows[withoutMark.rows.size() - 2].text, QStringLiteral("w4"));
    EXPECT_NE(withoutMark.rows[withoutMark.rows.size() - 2].iconSide, IconSide::none);
}

}  // namespace

namespace {

// The settings a frame is drawn with come out of AppSettings with the drawing scale's bounds and
// the contrast colour worked out.
TEST(FrameSettingsFrom, CopiesTheSettingsAsDrawingUsesThem)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    JsonFileDefaultsStore store(folder.filePath(QStringLiteral("defaults.json")));
    AppSettings settings(store);
    settings.setStyle(LyricStyle::fisheyeVisual);
    settings.setLyricFont(LyricFont::didot);
    settings.setTextScale(9.0);
    settings.setColor(Color{1, 1, 0, 1}, ColorSlot::highlight);  // yellow reads with black on it
    settings.setColor(red, ColorSlot::text);

    const FrameSettings values = FrameSettings::from(settings);
    EXPECT_EQ(values.style, LyricStyle::fisheyeVisual);
    EXPECT_EQ(values.font, LyricFont::didot);
    EXPECT_EQ(values.textScale, 4.0);
    EXPECT_EQ(values.highlightColor, (Color{1, 1, 0, 1}));
    EXPECT_EQ(values.contrastColor, Color::black());
    EXPECT_EQ(values.textColor, red);
    EXPECT_EQ(values.secondaryColor, Color::white(0.7));
}

}  // namespace
