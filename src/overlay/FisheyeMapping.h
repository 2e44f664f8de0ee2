#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

// The fisheye lens as a pure mapping, the reference the lens shader is checked against: for a
// destination point in a band of `size`, the point of the undistorted band to sample there.
//
// The lens is the ellipse inscribed in the band. With u the destination's offset from the centre
// in half-band units and r = |u|, a point inside samples from the centre plus u × (1 − strength ×
// (1 − r)^falloff) half-bands: the middle is magnified by 1 / (1 − strength), the magnification
// eases off toward the rim, and the rim and everything outside the ellipse are untouched, so the
// lens has no seam. The mapping is monotonic along every ray from the centre, so nothing folds.
namespace fisheye_lens {

inline constexpr double strength = 0.45;
inline constexpr double falloff = 2.2;
// No destination ever samples further than this share of the band size along either axis; the
// compositor is told the same bound, so it never has to keep pixels from further away.
inline constexpr double maxSampleOffset = 0.45;

QPointF sourcePoint(QSizeF size, QPointF destination, double lensStrength = strength, double lensFalloff = falloff);

// Where the picture in `source` (band coordinates) shows once seen through the lens: the bounding
// rectangle of every destination that samples from it, within the band. The lens only needs to
// run there, and only `source` needs to be rendered for it.
QRectF destinationBounds(QSizeF size, const QRectF& source);

}  // namespace fisheye_lens
