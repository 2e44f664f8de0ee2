#include "overlay/FrameModel.h"
#include "overlay/QtTextMeasurer.h"

#include "OverlayTestSupport.h"

#include <gtest/gtest.h>

namespace {

class RealFont : public ::testing::TestWithParam<LyricFont> {
protected:
    QtTextMeasurer measurer;
};

TEST_P(RealFont, ReportsPlausibleMetrics)
{
    const FontMetrics font = measurer.fontMetrics(GetParam());
    EXPECT_GT(font.capHeight, 40);
    EXPECT_LT(font.capHeight, font.ascent);
    EXPECT_GT(font.descent, 0);
    // The ink of a capital reaches the cap height, within the outline's overshoot.
    const InkBounds h = measurer.wordMetrics(GetParam(), QStringLiteral("H")).ink;
    EXPECT_NEAR(h.top, font.capHeight, 0.05 * font.capHeight);
    EXPECT_NEAR(h.bottom, 0, 1.0);
}

TEST_P(RealFont, InkLiesInsideTheLineBox)
{
    const FontMetrics font = measurer.fontMetrics(GetParam());
    const WordMetrics word = measurer.wordMetrics(GetParam(), QStringLiteral("Jigsaw"));
    EXPECT_GT(word.ink.width(), 0.5 * word.advance);
    EXPECT_LE(word.ink.top, font.ascent);
    EXPECT_GE(word.ink.bottom, -font.descent);
    EXPECT_LT(word.ink.bottom, 0);  // the descenders of j and g
    const InkBounds x = measurer.wordMetrics(GetParam(), QStringLiteral("x")).ink;
    EXPECT_LT(x.top, font.capHeight);
}

TEST_P(RealFont, WidthsAddUpAndAnswersRepeat)
{
    const double one = measurer.wordMetrics(GetParam(), QStringLiteral("n")).advance;
    const double three = measurer.wordMetrics(GetParam(), QStringLiteral("nnn")).advance;
    EXPECT_NEAR(three, 3 * one, 0.02 * three);
    EXPECT_EQ(measurer.wordMetrics(GetParam(), QStringLiteral("nnn")).advance, three);
}

// A five-word ship line and a fisheye line on a full-HD display, in every installed font.
TEST_P(RealFont, FramesStayInsideTheBandAndTheWidthLimit)
{
    const TimedLyrics lyrics(LyricTier::wordLevel,
                             {timedWord(QStringLiteral("Somewhere"), 1, 1.4), timedWord(QStringLiteral("over"), 1.4, 1.7),
                              timedWord(QStringLiteral("the"), 1.7, 1.8), timedWord(QStringLiteral("rainbow"), 1.8, 3.5),
                              timedWord(QStringLiteral("Quixotically-extraordinary"), 3.5, 4.0)});
    for (LyricStyle style : {LyricStyle::ship, LyricStyle::fisheye}) {
        FrameInput input;
        input.playhead = 3.9;
        input.lyrics = &lyrics;
        input.settings.style = style;
        input.settings.font = GetParam();
        input.displaySize = {1920, 1080};
        input.measurer = &measurer;
        const Frame frame = FrameModel::build(input);
        ASSERT_FALSE(frame.rows.isEmpty());
        const double limit = (style == LyricStyle::ship ? 0.62 : 0.42) * 1920;
        for (const FrameRow& row : frame.rows) {
            const double width = measurer.wordMetrics(GetParam(), row.text).advance * row.pointSize / 100;
            EXPECT_LE(width, limit + 1e-6) << row.text.toStdString();
            EXPECT_TRUE(QRectF(QPointF(0, 0), frame.band.size()).adjusted(-1e-6, -1e-6, 1e-6, 1e-6).contains(row.drawnBounds))
                << row.text.toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Families, RealFont,
                         ::testing::Values(LyricFont::sfPro, LyricFont::sfRounded, LyricFont::newYork,
                                           LyricFont::helveticaNeue, LyricFont::avenirNext, LyricFont::futura,
                                           LyricFont::didot),
                         [](const auto& info) { return rawValue(info.param).remove(u' ').toStdString(); });

}  // namespace
