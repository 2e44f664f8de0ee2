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

}  // namespace sprite_shadow
