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

namespace {

// The radius (in half-band units) of the destination that samples from radius rho: the lens
// maps r to r × (1 − strength × (1 − r)^falloff), which rises monotonically from 0 to 1.
double destinationRadius(double rho)
{
    if (!(rho < 1))
        return rho;
    double low = rho;
    double high = 1;
    for (int i = 0; i < 40; ++i) {
        const double mid = 0.5 * (low + high);
        const double mapped = mid * (1 - strength * std::pow(1 - mid, falloff));
        (mapped < rho ? low : high) = mid;
    }
    return high;
}

}  // namespace

QRectF destinationBounds(QSizeF size, const QRectF& source)
{
    const QRectF band(QPointF(0, 0), size);
    const QRectF clipped = source.intersected(band);
    if (clipped.isEmpty() || !(size.width() > 0) || !(size.height() > 0))
        return {};
    const double halfW = 0.5 * size.width();
    const double halfH = 0.5 * size.height();
    // The map is one-to-one and continuous, so the image of the rectangle's outline bounds the
    // image of the rectangle.
    constexpr int stepsPerSide = 64;
    double left = clipped.left();
    double right = clipped.right();
    double top = clipped.top();
    double bottom = clipped.bottom();
    const QPointF corners[] = {clipped.topLeft(), clipped.topRight(), clipped.bottomRight(), clipped.bottomLeft(),
                               clipped.topLeft()};
    for (int side = 0; side < 4; ++side) {
        for (int i = 0; i < stepsPerSide; ++i) {
            const QPointF p = corners[side] + (corners[side + 1] - corners[side]) * (double(i) / stepsPerSide);
            const double ux = (p.x() - halfW) / halfW;
            const double uy = (p.y() - halfH) / halfH;
            const double rho = std::hypot(ux, uy);
            const double grow = rho > 0 ? destinationRadius(rho) / rho : 1;
            const QPointF d(halfW + ux * grow * halfW, halfH + uy * grow * halfH);
            left = std::min(left, d.x());
            right = std::max(right, d.x());
            top = std::min(top, d.y());
            bottom = std::max(bottom, d.y());
        }
    }
    // A pixel either way for the sampling, and never beyond the band.
    return QRectF(QPointF(left - 2, top - 2), QPointF(right + 2, bottom + 2)).intersected(band);
}

}  // namespace fisheye_lens
