#pragma once

#include "overlay/LensGrid.h"

#include <QImage>
#include <QRect>

// A picture drawn through its mesh by the CPU, for Qt Quick's software renderer, which draws no
// custom geometry. Each triangle is filled as OpenGL fills it: at pixel centres, with the texture
// coordinate interpolated across the triangle and the picture sampled bilinearly, nothing beyond
// its edge; so the lens looks the same on both renderers.
namespace fisheye_lens {

struct WarpedPicture {
    QImage image;  // premultiplied; transparent where no triangle lies; null for an empty mesh
    QRect pixels;  // where the image lies in the band, in device pixels
};

// `picture` in device pixels, spanning texture coordinates (0, 0)...(1, 1); the mesh in band
// points, `pixelRatio` device pixels to a point.
WarpedPicture warpedThroughMesh(const QImage& picture, const PictureMesh& mesh, double pixelRatio = 1);

}  // namespace fisheye_lens
