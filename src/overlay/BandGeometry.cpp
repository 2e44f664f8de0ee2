#include "overlay/BandGeometry.h"

#include <algorithm>
#include <cmath>

namespace band {

namespace {

double usableExtent(double extent)
{
    if (!std::isfinite(extent) || extent < 0)
        return 0;
    return std::min(extent, maxDisplayExtent);
}

}  // namespace

QSizeF usableDisplaySize(QSizeF display) { return {usableExtent(display.width()), usableExtent(display.height())}; }

QRectF bandRect(QSizeF display)
{
    const QSizeF size = usableDisplaySize(display);
    return {0, topMargin * size.height(), size.width(), heightFactor * size.height()};
}

}  // namespace band
