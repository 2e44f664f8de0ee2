#include "overlay/BandFit.h"

#include <algorithm>

namespace {

// How far the edges at `low` and `high` may be pulled toward `centre` before both lie within
// 0...2 × centre.
double axisZoom(double low, double high, double centre)
{
    double zoom = 1;
    if (low < 0)
        zoom = std::min(zoom, centre / (centre - low));
    if (high > 2 * centre)
        zoom = std::min(zoom, centre / (high - centre));
    return zoom;
}

QPointF zoomed(QPointF point, QPointF centre, double zoom) { return centre + (point - centre) * zoom; }

QRectF zoomed(const QRectF& rect, QPointF centre, double zoom)
{
    return QRectF(zoomed(rect.topLeft(), centre, zoom), rect.size() * zoom);
}

}  // namespace

double bandFitZoom(std::span<const FrameRow> rows, QSizeF size)
{
    const QPointF centre(0.5 * size.width(), 0.5 * size.height());
    double zoom = 1;
    for (const FrameRow& row : rows) {
        const QRectF& drawn = row.drawnBounds;
        zoom = std::min(zoom, axisZoom(drawn.left(), drawn.right(), centre.x()));
        zoom = std::min(zoom, axisZoom(drawn.top(), drawn.bottom(), centre.y()));
    }
    return std::max(zoom, 0.0);
}

void zoomRows(std::span<FrameRow> rows, QSizeF size, double zoom)
{
    const QPointF centre(0.5 * size.width(), 0.5 * size.height());
    for (FrameRow& row : rows) {
        row.pointSize *= zoom;
        row.box = zoomed(row.box, centre, zoom);
        row.offset *= zoom;
        row.textOrigin = zoomed(row.textOrigin, centre, zoom);
        row.baseline *= zoom;
        row.chipPaddingX *= zoom;
        row.chipPaddingY *= zoom;
        if (row.glyphBox)
            row.glyphBox = QRectF(row.glyphBox->topLeft() * zoom, row.glyphBox->size() * zoom);
        row.iconPointSize *= zoom;
        row.iconBox = zoomed(row.iconBox, centre, zoom);
        row.drawnBounds = zoomed(row.drawnBounds, centre, zoom);
    }
}
