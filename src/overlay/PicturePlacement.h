#pragma once

#include "overlay/SpriteCache.h"
#include "overlay/StackAnimation.h"

#include <QList>
#include <QMatrix4x4>

// A fade or an entrance within this share of its end counts as over.
inline constexpr double fractionTolerance = 0.001;

// A watermark as it shows at one instant: its fade from 0 (gone) to 1, overshoot included.
struct WatermarkPose {
    Watermark mark;
    double presence = 0;
};

// One picture of a frame: what it shows, and where and how faded it shows.
struct PlacedLook {
    PictureLook look;
    QMatrix4x4 transform;  // from the picture's own coordinates, about its centre, to the band's
    double opacity = 1;
    bool moving = false;  // a pictogram still turning or growing in
};

// Moves a picture drawn about the origin to `centre`, turned by `turn` radians and scaled.
QMatrix4x4 pictureTransform(QPointF centre, double turn, double scale);

// The pictures of one frame, back to front: the watermarks, then each row followed by its
// pictogram, which rides on its row (tilt, scale, fade and shadow) and adds its own arrival.
// Pure: the renderer paints and caches the looks.
QList<PlacedLook> placeLooks(const QList<RowPose>& poses, const QList<WatermarkPose>& watermarks, LyricFont font,
                             const WordShadow& shadow, double pixelRatio);
