#include "overlay/WordSprite.h"

#include "overlay/SpriteShadow.h"
#include "overlay/TextMeasurer.h"
#include "settings/ColorConversion.h"
#include "settings/FontMapping.h"

#include <QPainter>

#include <cmath>

namespace {

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

}  // namespace

WordSprite cropped(WordSprite sprite)
{
    const QRect shown = sprite_shadow::visiblePart(sprite.image);
    if (shown.isEmpty())
        return {};
    if (shown == sprite.image.rect())
        return sprite;
    const double pointsPerPixelX = sprite.rect.width() / sprite.image.width();
    const double pointsPerPixelY = sprite.rect.height() / sprite.image.height();
    const QRectF rect(sprite.rect.left() + shown.left() * pointsPerPixelX,
                      sprite.rect.top() + shown.top() * pointsPerPixelY, shown.width() * pointsPerPixelX,
                      shown.height() * pointsPerPixelY);
    return {sprite.image.copy(shown), rect};
}

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
    const double margin = sprite_shadow::margin(look.shadow);
    const QRectF drawn(-margin, -margin, look.boxSize.width() + 2 * margin, look.boxSize.height() + 2 * margin);
    if (!(drawn.width() > 0) || !(drawn.height() > 0) || !std::isfinite(drawn.width() * drawn.height()))
        return {};
    const double wanted = std::max(look.devicePixelRatio, 0.1);
    const double pixelsPerPoint = std::min(wanted, maxSpriteSide / std::max(drawn.width(), drawn.height()));
    const QSize pixels(static_cast<int>(std::ceil(drawn.width() * pixelsPerPoint)),
                       static_cast<int>(std::ceil(drawn.height() * pixelsPerPoint)));

    QImage ink = sprite_shadow::transparentImage(pixels);
    {
        QPainter painter(&ink);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        painter.scale(pixelsPerPoint, pixelsPerPoint);
        painter.translate(margin, margin);
        paintInk(painter, look);
    }
    QImage sprite = sprite_shadow::withShadow(ink, look.shadow, pixelsPerPoint);
    if (sprite.isNull())
        return {};
    const QPointF centre(0.5 * look.boxSize.width(), 0.5 * look.boxSize.height());
    return cropped({std::move(sprite), drawn.translated(-centre)});
}
