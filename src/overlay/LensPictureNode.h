#pragma once

#include "overlay/LensGrid.h"

#include <QImage>
#include <QSGNode>

#include <memory>

class QQuickWindow;
class QSGImageNode;
class QSGTexture;

// The scene graph's node for one picture seen through the lens, at the opacity the nodes above
// it give. With a graphics API the picture's own texture is drawn over its mesh
// (fisheye_lens::LensGrid), blended. Qt Quick's software renderer draws no custom geometry: there
// the picture is warped through the same mesh on the CPU (fisheye_lens::warpedThroughMesh) into
// an image it draws as it is, again only when the mesh changes.
class LensPictureNode : public QSGNode {
public:
    // `picture`: premultiplied.
    LensPictureNode(QQuickWindow& window, const QImage& picture);
    ~LensPictureNode() override;

    void setMesh(const fisheye_lens::PictureMesh& mesh);

private:
    void warp(const fisheye_lens::PictureMesh& mesh);

    QQuickWindow& m_window;
    QSGNode* m_drawing = nullptr;  // the child that draws; the scene graph owns it
    // The software renderer's: the picture, the mesh it was last warped through and the result.
    QImage m_picture;
    fisheye_lens::PictureMesh m_warpedMesh;
    QSGImageNode* m_warped = nullptr;
    std::unique_ptr<QSGTexture> m_warpedTexture;
};
