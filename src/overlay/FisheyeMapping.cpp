#include "overlay/FisheyeMapping.h"

#include <algorithm>
#include <cmath>

namespace fisheye_lens {

namespace {

// Keeps a sample within the declared reach whatever the parameters: a strength above 1 would
// otherwise reach across the centre.
double withinReach(double destination, double source, double extent)
{
    const double reach = maxSampleOffset * extent;
    return std::clamp(source, destination - reach, destination + reach);
}

}  // namespace

QPointF sourcePoint(QSizeF size, QPointF destination, double lensStrength, double lensFalloff)
{
    const double halfW = 0.5 * size.width();
    const double halfH = 0.5 * size.height();
    if (!(halfW > 0) || !(halfH > 0) || !std::isfinite(halfW) || !std::isfinite(halfH))
        return destination;  // a band with no area has no lens
    if (!std::isfinite(lensStrength) || !std::isfinite(lensFalloff) || !(lensFalloff > 0))
        return destination;

    const double ux = (destination.x() - halfW) / halfW;
    const double uy = (destination.y() - halfH) / halfH;
    const double r = std::hypot(ux, uy);
    if (!(r < 1))
        return destination;  // outside the lens, or not a number

    const double pull = 1 - lensStrength * std::pow(1 - r, lensFalloff);
    const double sx = halfW + ux * pull * halfW;
    const double sy = halfH + uy * pull * halfH;
    return {withinReach(destination.x(), sx, size.width()), withinReach(destination.y(), sy, size.height())};
}

}  // namespace fisheye_lens
