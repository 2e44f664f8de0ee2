#include "overlay/AlphaBlur.h"
#include "overlay/WordSprite.h"

#include <gtest/gtest.h>

#include <QColor>

#include <numeric>

namespace {

qint64 alphaSum(const QImage& image)
{
    qint64 sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            sum += image.pixelColor(x, y).alpha();
    }
    return sum;
}

QImage alphaSquare(int size, int inset)
{
    QImage image(size, size, QImage::Format_Alpha8);
    image.fill(0);
    for (int y = inset; y < size - inset; ++y) {
        for (int x = inset; x < size - inset; ++x)
            image.bits()[y * image.bytesPerLine() + x] = 255;
    }
    return image;
}

TEST(AlphaBlur, SpreadsInkWithoutLosingOrMakingAnyWhileTheEdgesAreFarAway)
{
    QImage image = alphaSquare(120, 50);
    const qint64 before = alphaSum(image);
    blurAlpha(image, 4);
    EXPECT_NEAR(static_cast<double>(alphaSum(image)), static_cast<double>(before), 0.01 * static_cast<double>(before));
    EXPECT_GT(image.pixelColor(45, 60).alpha(), 0);    // beyond the square now
    EXPECT_LT(image.pixelColor(60, 60).alpha(), 255);  // and the middle of a 20-wide square is softer
    EXPECT_EQ(image.pixelColor(5, 5).alpha(), 0);      // but not four deviations away
}

TEST(AlphaBlur, LeavesImagesItCannotBlurAlone)
{
    QImage sharp = alphaSquare(40, 10);
    QImage copy = sharp.copy();
    blurAlpha(copy, 0);
    EXPECT_EQ(copy, sharp);
    QImage colour(40, 40, QImage::Format_ARGB32_Premultiplied);
    colour.fill(Qt::red);
    QImage colourCopy = colour.copy();
    blurAlpha(colourCopy, 5);
    EXPECT_EQ(colourCopy, colour);
    QImage empty;
    blurAlpha(empty, 5);  // no crash
}

SpriteLook lookOf(const QString& text, double pointSize)
{
    SpriteLook look;
    look.text = text;
    look.pointSize = pointSize;
    look.boxSize = QSizeF(pointSize * 0.6 * static_cast<double>(text.size()), pointSize * 1.2);
    look.baseline = pointSize;
    look.textColor = Color{1, 1, 1, 1};
    look.shadow = WordShadow{16, 4, 0.55};
    return look;
}

TEST(WordSprite, HoldsTheInkAndItsShadowAndNothingElse)
{
    const SpriteLook look = lookOf(QStringLiteral("silver"), 80);
    const WordSprite sprite = paintWordSprite(look);
    ASSERT_FALSE(sprite.image.isNull());
    const QRectF box(-0.5 * look.boxSize.width(), -0.5 * look.boxSize.height(), look.boxSize.width(),
                     look.boxSize.height());
    // Within the box and the shadow's reach (three deviations of the blur plus its offset)...
    EXPECT_TRUE(box.adjusted(-28, -28, 28, 28).contains(sprite.rect));
    // ...and reaching below the text's baseline by the shadow, which falls 4 points down.
    EXPECT_GT(sprite.rect.bottom(), box.top() + look.baseline + 4);
    EXPECT_EQ(sprite.image.size(), sprite.rect.size().toSize());
    // Cropped: every edge of the picture shows something.
    const QImage& image = sprite.image;
    const auto rowShows = [&image](int y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 1)
                return true;
        }
        return false;
    };
    EXPECT_TRUE(rowShows(0));
    EXPECT_TRUE(rowShows(image.height() - 1));
}

TEST(WordSprite, DrawsTheChipBlockAndTheGlyphBoxInTheirColours)
{
    SpriteLook chip = lookOf(QStringLiteral("mm"), 60);
    chip.chip = true;
    chip.chipColor = Color{0, 0, 1, 1};
    chip.textColor = Color{1, 1, 1, 1};
    const WordSprite chipSprite = paintWordSprite(chip);
    // A corner of the box: block, no text.
    const QPoint corner = (QPointF(2, 2) - chipSprite.rect.topLeft() - QPointF(0.5 * chip.boxSize.width(), 0.5 * chip.boxSize.height())).toPoint();
    EXPECT_EQ(chipSprite.image.pixelColor(corner), QColor(Qt::blue));

    SpriteLook current = lookOf(QStringLiteral("mm"), 60);
    current.glyphBox = QRectF(10, 10, 20, 20);
    current.glyphBoxColor = Color{0, 1, 0, 1};
    current.textColor = Color{0, 0, 0, 0};  // text invisible: only the box shows
    const WordSprite boxSprite = paintWordSprite(current);
    const QPointF boxCentre = QPointF(20, 20) - QPointF(0.5 * current.boxSize.width(), 0.5 * current.boxSize.height());
    EXPECT_EQ(boxSprite.image.pixelColor((boxCentre - boxSprite.rect.topLeft()).toPoint()), QColor(Qt::green));
}

TEST(WordSprite, AnAbsurdWordIsPaintedAtABoundedSize)
{
    const WordSprite sprite = paintWordSprite(lookOf(QString(300, u'W'), 400));
    ASSERT_FALSE(sprite.image.isNull());
    EXPECT_LE(std::max(sprite.image.width(), sprite.image.height()), 4096);
    EXPECT_GT(sprite.rect.width(), 4096);  // still covers the whole word when drawn
}

TEST(WordSprite, ABoxWithNoAreaOrNotANumberPaintsNothing)
{
    SpriteLook empty = lookOf(QStringLiteral("a"), 40);
    empty.boxSize = QSizeF(NAN, 10);
    EXPECT_TRUE(paintWordSprite(empty).image.isNull());
    SpriteLook huge = lookOf(QStringLiteral("a"), 40);
    huge.boxSize = QSizeF(1e300, 1e300);
    EXPECT_TRUE(paintWordSprite(huge).image.isNull());
}

}  // namespace
