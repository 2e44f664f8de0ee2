#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QTransform>

// The slow three-dimensional sway of the lyric band: a turn about the vertical axis, then a tilt
// about the horizontal axis, each seen in perspective, then a breathing scale, all about the
// band's centre. Angles are in radians.
struct Sway {
    double yaw = 0;  // about the vertical axis, applied first
    double pitch = 0;  // about the horizontal axis
    double scale = 1;
    // The viewer's distance is the band's longer side divided by this, for both rotations.
    double perspective = 0.45;
    QSizeF size;  // of the band
    QPointF anchor;  // the band's centre, in band coordinates

    // The projective map from band coordinates (y down) to the swayed picture, each rotation
    // flattened back onto the band's plane before the next one. QMatrix4x4(transform()) gives the
    // form a scene-graph transform node takes.
    QTransform transform() const;
};

// The sway at frame time T (seconds) for a band of the given size; amplitude 0 keeps it still.
Sway swayAt(double frameTime, double amplitude, QSizeF bandSize);

// Everything the band can cover at any moment of its sway, in band coordinates: the band itself
// when the amplitude is 0.
QRectF swayReach(QSizeF bandSize, double amplitude);
