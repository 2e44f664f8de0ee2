#include "overlay/AlphaBlur.h"
#include "overlay/IconSprite.h"
#include "overlay/QtTextMeasurer.h"
#include "settings/FontMapping.h"
#include "OverlayTestSupport.h"
#include <gtest/gtest.h>
#include <QColor>
#include <QFontInfo>
#include <array>
#include <numeric>

using namespace Qt::StringLiterals;

namespace {
struct FontCase {
    LyricFont font;
    const char* family;  // of the Debian package setup installs; a missing one would fall back silently
    QFont::Weight weight;
};
class RealFont : public ::testing::TestWithParam<FontCase> {
protected:
    QtTextMeasurer measurer;
};

// Each lyric font is its stand-in at its weight; caps reach the cap height, descenders stay in the line box.
TEST_P(RealFont, IsTheStandInWithPlausibleMetrics)
{
    const LyricFont lyricFont = GetParam().font;
    const QFont qfont = makeFont(lyricFont, 30.0);
    // Qt adds " [foundry]" where two foundries ship the same family (Type 1 and OpenType URW fonts).
    EXPECT_EQ(QFontInfo(qfont).family().section(u" ["_s, 0, 0).toStdString(), GetParam().family);
    EXPECT_TRUE(qfont.weight() == GetParam().weight && qfont.pointSizeF() == 30.0);
    const FontMetrics font = measurer.fontMetrics(lyricFont);
    EXPECT_TRUE(font.capHeight > 40 && font.capHeight < font.ascent);
    const InkBounds h = measurer.wordMetrics(lyricFont, u"H"_s).ink;
    EXPECT_TRUE(std::abs(h.top - font.capHeight) < 0.05 * font.capHeight && std::abs(h.bottom) < 1.0);
    const WordMetrics word = measurer.wordMetrics(lyricFont, u"Jigsaw"_s);
    EXPECT_TRUE(word.ink.width() > 0.5 * word.advance && word.ink.top <= font.ascent && word.ink.bottom < 0
                && word.ink.bottom >= -font.descent);
}

INSTANTIATE_TEST_SUITE_P(Families, RealFont,
                         ::testing::Values(FontCase{LyricFont::sfPro, "Inter", QFont::DemiBold},
                                           FontCase{LyricFont::sfRounded, "Quicksand", QFont::DemiBold},
                                           FontCase{LyricFont::newYork, "Noto Serif", QFont::DemiBold},
                                           FontCase{LyricFont::helveticaNeue, "Nimbus Sans", QFont::Bold},
                                           FontCase{LyricFont::avenirNext, "URW Gothic", QFont::Bold},
                                           FontCase{LyricFont::futura, "League Spartan", QFont::Bold},
                                           FontCase{LyricFont::didot, "GFS Didot", QFont::Bold}),
                         [](const auto& info) { return rawValue(info.param.font).remove(u' ').toStdString(); });

TEST(AlphaBlur, SpreadsInkWithoutLosingAny)
{
    QImage image(120, 120, QImage::Format_Alpha8);
    image.fill(0);
    for (int y = 50; y < 70; ++y)
        std::fill_n(image.bits() + y * image.bytesPerLine() + 50, 20, 255);
    const QImage sharp = image.copy();
    const auto sum = [](const QImage& i) {
        return std::accumulate(i.constBits(), i.constBits() + i.sizeInBytes(), qint64(0));
    };
    blurAlpha(image, 4);
    EXPECT_NEAR(double(sum(image)), double(sum(sharp)), 0.01 * double(sum(sharp)));
    EXPECT_TRUE(image.pixelColor(45, 60).alpha() > 0 && image.pixelColor(60, 60).alpha() < 255
                && image.pixelColor(5, 5).alpha() == 0);
    QImage copy = sharp.copy();
    blurAlpha(copy, 0);
    EXPECT_EQ(copy, sharp);
}

SpriteLook lookOf(const QString& text, double size)
{
    return {.text = text,
            .pointSize = size,
            .boxSize = QSizeF(size * 0.6 * double(text.size()), size * 1.2),
            .baseline = size,
            .textColor = Color{1, 1, 1, 1},
            .shadow = WordShadow{16, 4, 0.55}};
}

TEST(WordSprite, HoldsTheInkItsShadowAndBlocksCroppedAndBounded)
{
    const SpriteLook look = lookOf(u"silver"_s, 80);
    const WordSprite sprite = paintWordSprite(look);
    const QRectF box(QPointF(-0.5 * look.boxSize.width(), -0.5 * look.boxSize.height()), look.boxSize);
    EXPECT_TRUE(box.adjusted(-28, -28, 28, 28).contains(sprite.rect));  // three deviations and the offset
    EXPECT_GT(sprite.rect.bottom(), box.top() + look.baseline + 4);  // the shadow falls 4 down
    EXPECT_EQ(sprite.image.size(), sprite.rect.size().toSize());
    for (const int y : {0, sprite.image.height() - 1}) {  // cropped: its edges show something
        int shows = 0;
        for (int x = 0; x < sprite.image.width(); ++x)
            shows += qAlpha(sprite.image.pixel(x, y)) > 1;
        EXPECT_GT(shows, 0) << "row " << y;
    }
    // The chip block and the glyph box are drawn in their colours.
    SpriteLook chip = lookOf(u"mm"_s, 60), current = chip;
    chip.chip = true;
    chip.chipColor = Color{0, 0, 1, 1};
    const WordSprite chipSprite = paintWordSprite(chip);
    const QPointF halfBox(0.5 * chip.boxSize.width(), 0.5 * chip.boxSize.height());
    EXPECT_EQ(chipSprite.image.pixelColor((QPointF(2, 2) - chipSprite.rect.topLeft() - halfBox).toPoint()),
              QColor(Qt::blue));
    current.glyphBox = QRectF(10, 10, 20, 20);
    current.glyphBoxColor = Color{0, 1, 0, 1};
    current.textColor = Color{0, 0, 0, 0};
    const WordSprite boxSprite = paintWordSprite(current);
    EXPECT_EQ(boxSprite.image.pixelColor((QPointF(20, 20) - halfBox - boxSprite.rect.topLeft()).toPoint()),
              QColor(Qt::green));
    // Absurd sizes are painted bounded, or not at all.
    const WordSprite wide = paintWordSprite(lookOf(QString(300, u'W'), 400));
    EXPECT_LE(std::max(wide.image.width(), wide.image.height()), 4096);
    EXPECT_GT(wide.rect.width(), 4096);  // still covers the whole word when drawn
    SpriteLook nan = lookOf(u"a"_s, 40), huge = nan;
    nan.boxSize = QSizeF(NAN, 10);
    huge.boxSize = QSizeF(1e300, 1e300);
    EXPECT_TRUE(paintWordSprite(nan).image.isNull() && paintWordSprite(huge).image.isNull());
}

// A symbol is solid in its tint, an emoji keeps its colours; an unknown symbol or a nonsense size draws nothing.
TEST(IconSprite, ASymbolIsTintedAnEmojiKeepsItsColoursAndNonsenseDrawsNothing)
{
    const auto coverage = [](const IconLook& look) {  // pixels shown, of the tint, clearly colourful
        const QImage image = paintIconSprite(look).image;
        std::array<int, 3> counts{0, 0, 0};
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor p = QColor::fromRgba(image.pixel(x, y));
                const int off = std::max({std::abs(p.red() - 255), std::abs(p.green() - 128), std::abs(p.blue())});
                counts[0] += p.alpha() >= 250;
                counts[1] += p.alpha() >= 250 && off < 8;
                counts[2] += p.alpha() >= 250 && p.hslSaturation() > 100 && p.lightness() > 40;
            }
        return counts;
    };
    IconLook look{WordVisual::symbol(u"heart.fill"_s), 64, Color{1, 0.5, 0, 1}, WordShadow{}, 1};
    const auto heart = coverage(look);
    EXPECT_TRUE(heart[0] > 64 * 64 / 4 && heart[1] > heart[0] * 9 / 10) << heart[0] << " " << heart[1];
    EXPECT_TRUE(QRectF(-32, -32, 64, 64).contains(paintIconSprite(look).rect));
    look.visual = WordVisual::emoji(u"\U0001F525"_s);  // fire
    const auto fire = coverage(look);
    EXPECT_TRUE(fire[2] > 200 && fire[1] < fire[0] / 2) << fire[2] << " " << fire[1];
    const std::pair<QString, double> nothing[] = {
        {u"no.such.symbol"_s, 64}, {u"heart.fill"_s, 0}, {u"heart.fill"_s, NAN}};
    for (const auto& [name, size] : nothing) {
        look.visual = WordVisual::symbol(name);
        look.pointSize = size;
        EXPECT_TRUE(paintIconSprite(look).image.isNull()) << size;
    }
    look.pointSize = 1e6;
    const QImage huge = paintIconSprite(look).image;
    EXPECT_TRUE(!huge.isNull() && huge.width() <= 2048);
}
}  // namespace
