#include "overlay/LensPictureNode.h"

#include "overlay/LensWarp.h"

#include <QPainter>
#include <QQuickWindow>
#include <QSGGeometryNode>
#include <QSGImageNode>
#include <QSGRendererInterface>
#include <QSGTextureMaterial>

#include <cstring>

namespace {

// Wide enough that linear filtering at the picture's edge fades into nothing, and clamping to the
// texture's edge samples nothing.
constexpr int border = 1;

QImage withBorder(const QImage& picture)
{
    QImage framed(picture.width() + 2 * border, picture.height() + 2 * border, QImage::Format_ARGB32_Premultiplied);
    framed.fill(Qt::transparent);
    QPainter painter(&framed);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(border, border, picture);
    return framed;
}

// The picture's own texture drawn over its mesh, blended.
class MeshPictureNode : public QSGGeometryNode {
public:
    MeshPictureNode(QQuickWindow& window, const QImage& picture)
        : m_geometry(QSGGeometry::defaultAttributes_TexturedPoint2D(), 0, 0, QSGGeometry::UnsignedIntType)
        , m_pictureSize(picture.size())
    {
        const QImage framed = withBorder(picture);
        m_textureSize = framed.size();
        // A texture of its own, never a corner of an atlas: samples beside the picture must clamp
        // to its transparent border, not read a neighbour.
        m_texture.reset(window.createTextureFromImage(framed));
        m_material.setTexture(m_texture.get());
        m_material.setFiltering(QSGTexture::Linear);
        m_material.setHorizontalWrapMode(QSGTexture::ClampToEdge);
        m_material.setVerticalWrapMode(QSGTexture::ClampToEdge);
        m_material.setFlag(QSGMaterial::Blending, true);
        m_geometry.setDrawingMode(QSGGeometry::DrawTriangles);
        setGeometry(&m_geometry);
        setMaterial(&m_material);
    }

    void setMesh(const fisheye_lens::PictureMesh& mesh)
    {
        m_geometry.allocate(static_cast<int>(mesh.vertices.size()), static_cast<int>(mesh.indices.size()));
        // The mesh's texture coordinates span the picture; the texture has a border around it.
        const double scaleU = m_pictureSize.width() / m_textureSize.width();
        const double scaleV = m_pictureSize.height() / m_textureSize.height();
        const double offsetU = border / m_textureSize.width();
        const double offsetV = border / m_textureSize.height();
        QSGGeometry::TexturedPoint2D* vertices = m_geometry.vertexDataAsTexturedPoint2D();
        for (qsizetype i = 0; i < mesh.vertices.size(); ++i) {
            const fisheye_lens::MeshVertex& corner = mesh.vertices[i];
            vertices[i].set(corner.x, corner.y, static_cast<float>(offsetU + corner.u * scaleU),
                            static_cast<float>(offsetV + corner.v * scaleV));
        }
        if (!mesh.indices.isEmpty())
            std::memcpy(m_geometry.indexDataAsUInt(), mesh.indices.constData(), sizeof(quint32) * mesh.indices.size());
        markDirty(QSGNode::DirtyGeometry);
    }

private:
    std::unique_ptr<QSGTexture> m_texture;
    QSGTextureMaterial m_material;
    QSGGeometry m_geometry;
    QSizeF m_pictureSize;  // in texture pixels, without the border
    QSizeF m_textureSize;
};

}  // namespace

LensPictureNode::LensPictureNode(QQuickWindow& window, const QImage& picture)
    : m_window(window)
{
    if (window.rendererInterface()->graphicsApi() != QSGRendererInterface::Software) {
        m_drawing = new MeshPictureNode(window, picture);
    } else {
        m_picture = picture;
        m_warped = window.createImageNode();
        m_warped->setFiltering(QSGTexture::Linear);
        // Never drawn without a texture, not even before the first mesh.
        QImage nothing(1, 1, QImage::Format_ARGB32_Premultiplied);
        nothing.fill(Qt::transparent);
        m_warpedTexture.reset(window.createTextureFromImage(nothing));
        m_warped->setTexture(m_warpedTexture.get());
        m_drawing = m_warped;
    }
    appendChildNode(m_drawing);
}

// The child goes first, while the texture it draws still exists.
LensPictureNode::~LensPictureNode() { delete m_drawing; }

void LensPictureNode::setMesh(const fisheye_lens::PictureMesh& mesh)
{
    if (m_warped)
        warp(mesh);
    else
        static_cast<MeshPictureNode*>(m_drawing)->setMesh(mesh);
}

void LensPictureNode::warp(const fisheye_lens::PictureMesh& mesh)
{
    // While only the sway moves, the pictures keep their meshes and the warp its result.
    if (mesh.vertices == m_warpedMesh.vertices && mesh.indices == m_warpedMesh.indices)
        return;
    m_warpedMesh = mesh;
    const double pixelRatio = m_window.effectiveDevicePixelRatio();
    const fisheye_lens::WarpedPicture warped = fisheye_lens::warpedThroughMesh(m_picture, mesh, pixelRatio);
    if (warped.image.isNull()) {
        m_warped->setRect(QRectF());
        return;
    }
    std::unique_ptr<QSGTexture> texture(m_window.createTextureFromImage(warped.image));
    m_warped->setTexture(texture.get());
    m_warpedTexture = std::move(texture);
    const QRectF pixels(warped.pixels);
    m_warped->setRect(QRectF(pixels.topLeft() / pixelRatio, pixels.size() / pixelRatio));
}
