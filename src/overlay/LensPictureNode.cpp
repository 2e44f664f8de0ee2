#include "overlay/LensPictureNode.h"

#include <QPainter>
#include <QQuickWindow>
#include <QSGRendererInterface>

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

}  // namespace

bool lensDrawable(const QQuickWindow* window)
{
    const QSGRendererInterface::GraphicsApi api =
        window ? window->rendererInterface()->graphicsApi() : QQuickWindow::graphicsApi();
    return api != QSGRendererInterface::Software;
}

LensPictureNode::LensPictureNode(QQuickWindow& window, const QImage& picture)
    : m_geometry(QSGGeometry::defaultAttributes_TexturedPoint2D(), 0, 0, QSGGeometry::UnsignedIntType)
    , m_pictureSize(picture.size())
{
    const QImage framed = withBorder(picture);
    m_textureSize = framed.size();
    // A texture of its own, never a corner of an atlas: samples beside the picture must clamp to
    // its transparent border, not read a neighbour.
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

LensPictureNode::~LensPictureNode() = default;

void LensPictureNode::setMesh(const fisheye_lens::PictureMesh& mesh)
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
