#pragma once

#include "overlay/StyleTraits.h"

#include <QImage>

// The drop shadow the rows and their pictograms are painted with, shared by both painters.
namespace sprite_shadow {

QImage transparentImage(QSize pixels);
// Room the shadow needs on every side of the ink, in points.
double margin(const WordShadow& shadow);
// The ink over its own blurred, offset, darkened silhouette.
QImage withShadow(const QImage& ink, const WordShadow& shadow, double pixelsPerPoint);

// The part of a premultiplied picture that shows (alpha above 1/255), in pixels; empty when none
// does. Drawing the rest would only blend nothing into the frame.
QRect visiblePart(const QImage& picture);

}  // namespace sprite_shadow
