#include "overlay/IconSprite.h"

#include "overlay/SpriteShadow.h"
#include "settings/ColorConversion.h"
#include "visuals/SymbolSet.h"

#include <QFont>
#include <QPainter>
#include <QSvgRenderer>

#include <cmath>

namespace {

constexpr double maxIconSide = 2048;

// The picture alone in a square of `side` points.
void paintPicture(QPainter& painter, const IconLook& look, double side)
{
    const QRectF square(0, 0, side, side);
    if (look.visual.isSymbol()) {
        QSvgRenderer svg(symbol_set::symbolResourcePath(look.visual.value()));
        if (!svg.isValid())
            return;
        svg.render(&painter, square);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(square, toQColor(look.tint));
        return;
    }
    QFont font(QString::fromUtf16(symbol_set::emojiFontFamily));
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(look.pointSize))));
    painter.setFont(font);
    painter.drawText(square, Qt::AlignCenter, look.visual.value());
}

}  // namespace

WordSprite paintIconSprite(const IconLook& look)
{
    if (!(look.pointSize > 0) || !std::isfinite(look.pointSize))
        return {};
    if (look.visual.isSymbol() && !symbol_set::symbolExists(look.visual.value()))
        return {};
    const double margin = sprite_shadow::margin(look.shadow);
    // Emoji glyphs reach a little beyond their nominal size.
    const double side = look.pointSize * (look.visual.isEmoji() ? 1.25 : 1.0);
    const double extent = side + 2 * margin;
    const double pixelsPerPoint = std::min(std::max(look.devicePixelRatio, 0.1), maxIconSide / extent);
    const int pixels = static_cast<int>(std::ceil(extent * pixelsPerPoint));

    QImage picture = sprite_shadow::transparentImage(QSize(pixels, pixels));
    {
        QPainter painter(&picture);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
        painter.scale(pixelsPerPoint, pixelsPerPoint);
        painter.translate(margin, margin);
        paintPicture(painter, look, side);
    }
    return cropped({sprite_shadow::withShadow(picture, look.shadow, pixelsPerPoint),
                    QRectF(-0.5 * extent, -0.5 * extent, extent, extent)});
}
