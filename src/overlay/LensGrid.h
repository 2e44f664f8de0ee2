#pragma once

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QTransform>

// The fisheye lens as meshes: a grid of cells about `step` points wide over the part of the band
// where the lens shows anything, each corner knowing the point of the undistorted band it shows.
// Each picture is drawn through the cells it shows in, with each corner's texture coordinate
// worked out from that point, so the lens costs a picture's own pixels once and needs no
// offscreen pass. Between corners the rasteriser interpolates; on the band of a 720p or larger
// display the straight lines between corners stay within half a pixel of the curve.
namespace fisheye_lens {

// One corner of a picture's mesh: where it lies in the band and the texture coordinate of the
// picture there, (0, 0) at the picture's top-left corner and (1, 1) at its bottom-right.
struct MeshVertex {
    float x;
    float y;
    float u;
    float v;

    friend bool operator==(const MeshVertex&, const MeshVertex&) = default;
};

// Triangles over a picture's cells; empty where the picture does not show through the lens.
struct PictureMesh {
    QList<MeshVertex> vertices;
    QList<quint32> indices;
};

class LensGrid {
public:
    static constexpr double defaultStep = 16;

    LensGrid() = default;
    // A grid over `lensRect` of a band of `bandSize`.
    LensGrid(QSizeF bandSize, const QRectF& lensRect, double step = defaultStep);

    // The picture `rect` (in its own coordinates, placed into the band by `toBand`) as seen
    // through the lens. Cells that lie wholly beside the picture are left out.
    PictureMesh meshFor(const QTransform& toBand, const QRectF& rect) const;

    bool isEmpty() const { return m_columns == 0 || m_rows == 0; }
    QSizeF bandSize() const { return m_bandSize; }
    QRectF lensRect() const { return m_lensRect; }
    int columns() const { return m_columns; }
    int rows() const { return m_rows; }

private:
    qsizetype cornerIndex(int column, int row) const { return qsizetype(row) * (m_columns + 1) + column; }

    QSizeF m_bandSize;
    QRectF m_lensRect;
    int m_columns = 0;
    int m_rows = 0;
    QList<QPointF> m_destinations;  // the corners, row by row
    QList<QPointF> m_sources;  // what each corner shows
};

}  // namespace fisheye_lens
