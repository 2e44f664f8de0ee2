#include "overlay/IconSprite.h"

#include <gtest/gtest.h>

#include <QColor>

namespace {

// Counts the pixels that show, and of those the ones of roughly the colour given.
struct Coverage {
    int shown = 0;
    int ofColour = 0;
    int colourful = 0;  // clearly neither grey nor black
};

Coverage coverage(const QImage& image, const QColor& colour)
{
    Coverage c;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = QColor::fromRgba(image.pixel(x, y));
            if (pixel.alpha() < 250)
                continue;
            ++c.shown;
            if (std::abs(pixel.red() - colour.red()) < 8 && std::abs(pixel.green() - colour.green()) < 8
                && std::abs(pixel.blue() - colour.blue()) < 8)
                ++c.ofColour;
            if (pixel.hslSaturation() > 100 && pixel.lightness() > 40)
                ++c.colourful;
        }
    }
    return c;
}

IconLook lookFor(WordVisual visual)
{
    return IconLook{std::move(visual), 64, Color{1, 0.5, 0, 1}, WordShadow{}, 1};
}

TEST(IconSprite, ASymbolIsDrawnSolidInItsTint)
{
    const WordSprite sprite = paintIconSprite(lookFor(WordVisual::symbol(QStringLiteral("heart.fill"))));
    ASSERT_FALSE(sprite.image.isNull());
    const Coverage c = coverage(sprite.image, QColor(255, 128, 0));
    EXPECT_GT(c.shown, 64 * 64 / 4);  // a filled heart covers a good part of its square
    EXPECT_GT(c.ofColour, c.shown * 9 / 10);
    // Within its square about the icon's centre, and filling most of it.
    EXPECT_TRUE(QRectF(-32, -32, 64, 64).contains(sprite.rect));
    EXPECT_GT(sprite.rect.width(), 48);
}

TEST(IconSprite, AnEmojiKeepsItsOwnColours)
{
    const WordSprite sprite = paintIconSprite(lookFor(WordVisual::emoji(QStringLiteral("\U0001F525"))));  // fire
    ASSERT_FALSE(sprite.image.isNull());
    const Coverage c = coverage(sprite.image, QColor(255, 128, 0));
    EXPECT_GT(c.colourful, 200);
    EXPECT_LT(c.ofColour, c.shown / 2);  // not flattened into the tint
}

TEST(IconSprite, ASymbolTheSetCannotDrawAndAbsurdSizesDrawNothing)
{
    EXPECT_TRUE(paintIconSprite(lookFor(WordVisual::symbol(QStringLiteral("no.such.symbol")))).image.isNull());
    IconLook tiny = lookFor(WordVisual::symbol(QStringLiteral("heart.fill")));
    tiny.pointSize = 0;
    EXPECT_TRUE(paintIconSprite(tiny).image.isNull());
    tiny.pointSize = NAN;
    EXPECT_TRUE(paintIconSprite(tiny).image.isNull());
    IconLook huge = lookFor(WordVisual::symbol(QStringLiteral("heart.fill")));
    huge.pointSize = 1e6;
    const WordSprite bounded = paintIconSprite(huge);
    ASSERT_FALSE(bounded.image.isNull());
    EXPECT_LE(bounded.image.width(), 2048);
}

}  // namespace
