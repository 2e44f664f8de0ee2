#pragma once

#include "overlay/LensGrid.h"

#include <QImage>
#include <QSGGeometryNode>
#include <QSGTextureMaterial>

#include <memory>

class QQuickWindow;

// Whether pictures can be drawn through the lens in `window` (or, with none, in the windows this
// process will make): Qt Quick's software adaptation draws no custom geometry, so there the
// fisheye looks show their words without the lens rather than not at all.
bool lensDrawable(const QQuickWindow* window);

// The scene graph's node for one picture seen through the lens: the picture's own texture drawn
// over its mesh (fisheye_lens::LensGrid), blended, at the opacity the nodes above it give.
class LensPictureNode : public QSGGeometryNode {
public:
    // Uploads `picture` (premultiplied) with a transparent border, so that the parts of a cell
    // beside the picture sample nothing.
    LensPictureNode(QQuickWindow& window, const QImage& picture);
    ~LensPictureNode() override;

    void setMesh(const fisheye_lens::PictureMesh& mesh);

private:
    std::unique_ptr<QSGTexture> m_texture;
    QSGTextureMaterial m_material;
    QSGGeometry m_geometry;
    QSizeF m_pictureSize;  // in texture pixels, without the border
    QSizeF m_textureSize;
};
