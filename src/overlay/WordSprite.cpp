#include "overlay/WordSprite.h"

#include "overlay/AlphaBlur.h"
#include "overlay/TextMeasurer.h"
#include "settings/ColorConversion.h"
#include "settings/FontMapping.h"

#include <QPainter>

#include <cmath>

namespace {

// A blur radius as the looks give it spreads about twice as far as the Gaussian's deviation.
constexpr double sigmaPerRadius = 0.5;
// Sprites larger than this (in device pixels a side) are drawn smaller and scaled up; no display
// word comes near it, and it bounds the memory one absurd word can take.
constexpr double maxSpriteSide = 4096;

// The font the measurer measured with: pixels at the reference size, unhinted, scaled linearly.
QFont referenceFont(LyricFont family)
{
    QFont font = makeFont(family, TextMeasurer::referenceSize);
    font.setPixelSize(static_cast<int>(TextMeasurer::referenceSize));
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// The row's own paint, shadow excepted, with the row's box at the origin.
void paintInk(QPainter& painter, const SpriteLook& look)
{
    if (look.chip)
        painter.fillRect(QRectF(QPointF(0, 0), look.boxSize), toQColor(look.chipColor));
    if (look.glyphBox)
        painter.fillRect(look.glyphBox->translated(look.textOffset), toQColor(look.glyphBoxColor));
    const double scale = look.pointSize / TextMeasurer::referenceSize;
    painter.save();
    painter.translate(look.textOffset + QPointF(0, look.baseline));
    painter.scale(scale, scale);
    painter.setFont(referenceFont(look.font));
    painter.setPen(toQColor(look.textColor));
    painter.drawText(QPointF(0, 0), look.text);
    painter.restore();
}

QImage transparentImage(QSize pixels)
{
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage shadowOf(const QImage& ink, const WordShadow& shadow, double pixelsPerPoint)
{
    QImage alpha = ink.convertToFormat(QImage::Format_Alpha8);
    blurAlpha(alpha, sigmaPerRadius * shadow.radius * pixelsPerPoint);
    QImage tinted = transparentImage(alpha.size());
    QPainter painter(&tinted);
    painter.setOpacity(shadow.opacity);
    painter.drawImage(QPointF(0, shadow.offsetY * pixelsPerPoint), alpha);  // alpha draws as black
    return tinted;
}

}  // namespace

SpriteLook SpriteLook::of(const FrameRow& row, LyricFont font, const WordShadow& shadow, double devicePixelRatio)
{
    SpriteLook look;
    look.text = row.text;
    look.pointSize = row.pointSize;
    look.boxSize = row.box.size();
    look.textOffset = row.textOrigin - row.box.topLeft();
    look.baseline = row.baseline;
    look.textColor = row.textColor;
    look.chip = row.chip;
    look.chipColor = row.chipColor;
    look.glyphBox = row.glyphBox;
    look.glyphBoxColor = row.glyphBoxColor;
    look.font = font;
    look.shadow = shadow;
    look.devicePixelRatio = devicePixelRatio;
    return look;
}

WordSprite paintWordSprite(const SpriteLook& look)
{
    const double margin = std::ceil(3 * sigmaPerRadius * look.shadow.radius + std::abs(look.shadow.offsetY));
    const QRectF drawn(-margin, -margin, look.boxSize.width() + 2 * margin, look.boxSize.height() + 2 * margin);
    if (!(drawn.width() > 0) || !(drawn.height() > 0) || !std::isfinite(drawn.width() * drawn.height()))
        return {};
    const double wanted = std::max(look.devicePixelRatio, 0.1);
    const double pixelsPerPoint = std::min(wanted, maxSpriteSide / std::max(drawn.width(), drawn.height()));
    const QSize pixels(static_cast<int>(std::ceil(drawn.width() * pixelsPerPoint)),
                       static_cast<int>(std::ceil(drawn.height() * pixelsPerPoint)));

    QImage ink = transparentImage(pixels);
    {
        QPainter painter(&ink);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        painter.scale(pixelsPerPoint, pixelsPerPoint);
        painter.translate(margin, margin);
        paintInk(painter, look);
    }
    const bool hasShadow = look.shadow.radius > 0 || look.shadow.offsetY != 0;
    QImage sprite = hasShadow ? shadowOf(ink, look.shadow, pixelsPerPoint) : transparentImage(pixels);
    {
        QPainter painter(&sprite);
        painter.drawImage(0, 0, ink);
    }
    const QPointF centre(0.5 * look.boxSize.width(), 0.5 * look.boxSize.height());
    return {std::move(sprite), drawn.translated(-centre)};
}
