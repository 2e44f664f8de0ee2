#include "overlay/SpriteShadow.h"

#include "overlay/AlphaBlur.h"

#include <QPainter>

#include <cmath>

namespace sprite_shadow {

namespace {

// A blur radius as the looks give it spreads about twice as far as the Gaussian's deviation.
constexpr double sigmaPerRadius = 0.5;

bool hasShadow(const WordShadow& shadow) { return shadow.radius > 0 || shadow.offsetY != 0; }

}  // namespace

QImage transparentImage(QSize pixels)
{
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

double margin(const WordShadow& shadow)
{
    return hasShadow(shadow) ? std::ceil(3 * sigmaPerRadius * shadow.radius + std::abs(shadow.offsetY)) : 0;
}

QImage withShadow(const QImage& ink, const WordShadow& shadow, double pixelsPerPoint)
{
    QImage sprite = transparentImage(ink.size());
    if (sprite.isNull())
        return sprite;
    QPainter painter(&sprite);
    if (hasShadow(shadow)) {
        QImage alpha = ink.convertToFormat(QImage::Format_Alpha8);
        blurAlpha(alpha, sigmaPerRadius * shadow.radius * pixelsPerPoint);
        painter.setOpacity(shadow.opacity);
        painter.drawImage(QPointF(0, shadow.offsetY * pixelsPerPoint), alpha);  // alpha draws as black
        painter.setOpacity(1);
    }
    painter.drawImage(0, 0, ink);
    return sprite;
}

QRect visiblePart(const QImage& picture)
{
    if (picture.format() != QImage::Format_ARGB32_Premultiplied)
        return picture.rect();
    int left = picture.width();
    int right = -1;
    int top = picture.height();
    int bottom = -1;
    for (int y = 0; y < picture.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        int first = -1;
        int last = -1;
        for (int x = 0; x < picture.width(); ++x) {
            if (qAlpha(line[x]) > 1) {
                if (first < 0)
                    first = x;
                last = x;
            }
        }
        if (first < 0)
            continue;
        left = std::min(left, first);
        right = std::max(right, last);
        top = std::min(top, y);
        bottom = y;
    }
    if (right < 0)
        return {};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

}  // namespace sprite_shadow
