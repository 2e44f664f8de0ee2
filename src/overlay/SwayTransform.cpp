#include "overlay/SwayTransform.h"

#include "overlay/Angles.h"

#include <algorithm>
#include <cmath>

namespace {

// A rotation about the vertical (yaw) or horizontal (pitch) axis through the origin, projected
// back onto the plane z = 0 from a viewer at `distance`. QTransform maps row vectors:
// x' = m11 x + m21 y + m31, y' = m12 x + m22 y + m32, w = m13 x + m23 y + m33.
QTransform projectedYaw(double angle, double distance)
{
    // The rotated point is (x cos a, y, -x sin a); depth -z' brings it toward the viewer.
    return QTransform(std::cos(angle), 0, std::sin(angle) / distance, 0, 1, 0, 0, 0, 1);
}

QTransform projectedPitch(double angle, double distance)
{
    // The rotated point is (x, y cos a, y sin a).
    return QTransform(1, 0, 0, 0, std::cos(angle), -std::sin(angle) / distance, 0, 0, 1);
}

QTransform aboutPoint(const QTransform& transform, QPointF anchor)
{
    return QTransform::fromTranslate(-anchor.x(), -anchor.y()) * transform
           * QTransform::fromTranslate(anchor.x(), anchor.y());
}

}  // namespace

QTransform Sway::transform() const
{
    const double longerSide = std::max(size.width(), size.height());
    if (!(longerSide > 0) || !(perspective > 0))
        return QTransform::fromScale(scale, scale);  // nothing to turn: a point or an empty band
    const double distance = longerSide / perspective;
    return aboutPoint(projectedYaw(yaw, distance), anchor) * aboutPoint(projectedPitch(pitch, distance), anchor)
           * aboutPoint(QTransform::fromScale(scale, scale), anchor);
}

namespace {

constexpr double maxYawDegrees = 16.0;
constexpr double maxPitchDegrees = 7.0;
constexpr double maxBreath = 0.035;

Sway swayOf(double yawShare, double pitchShare, double breathShare, double amplitude, QSizeF bandSize)
{
    Sway sway;
    sway.yaw = maxYawDegrees * yawShare * amplitude * radiansPerDegree;
    sway.pitch = maxPitchDegrees * pitchShare * amplitude * radiansPerDegree;
    sway.scale = 1.0 + maxBreath * breathShare * amplitude;
    sway.size = bandSize;
    sway.anchor = {0.5 * bandSize.width(), 0.5 * bandSize.height()};
    return sway;
}

}  // namespace

Sway swayAt(double frameTime, double amplitude, QSizeF bandSize)
{
    const double t = std::isfinite(frameTime) ? frameTime : 0.0;
    return swayOf(std::sin(0.35 * t), std::sin(0.22 * t), std::sin(0.17 * t), amplitude, bandSize);
}

QRectF swayReach(QSizeF bandSize, double amplitude)
{
    // The union of the band over a fine grid of turns and tilts at the largest breath, grown by a
    // point for what falls between the grid's poses.
    constexpr int steps = 16;
    const QRectF band(QPointF(0, 0), bandSize);
    QRectF reach = band;
    for (int i = 0; i <= steps; ++i) {
        for (int j = 0; j <= steps; ++j) {
            const double yaw = -1.0 + 2.0 * i / steps;
            const double pitch = -1.0 + 2.0 * j / steps;
            reach |= swayOf(yaw, pitch, 1.0, std::abs(amplitude), bandSize).transform().mapRect(band);
        }
    }
    return amplitude == 0 ? reach : reach.adjusted(-1, -1, 1, 1);
}
