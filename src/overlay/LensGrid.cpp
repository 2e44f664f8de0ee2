#include "overlay/LensGrid.h"

#include "overlay/FisheyeMapping.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace fisheye_lens {

namespace {

// A cell is left out only when all its corners lie this far (in the picture's own points) beyond
// one edge of the picture: between corners the mapping bends by under a point, and the picture's
// edge fades out in its shadow anyway.
constexpr double cullMargin = 2;
// A grid finer than this many cells a side would cost more in triangles than any display shows.
constexpr int mostCellsPerSide = 1024;

int cellsAcross(double extent, double step)
{
    if (!(extent > 0) || !std::isfinite(extent))
        return 0;
    return std::clamp(static_cast<int>(std::ceil(extent / step)), 1, mostCellsPerSide);
}

bool isBeside(const std::array<QPointF, 4>& corners, double marginU, double marginV)
{
    const auto all = [&corners](auto beyond) { return std::all_of(corners.cbegin(), corners.cend(), beyond); };
    return all([marginU](QPointF uv) { return uv.x() < -marginU; })
           || all([marginU](QPointF uv) { return uv.x() > 1 + marginU; })
           || all([marginV](QPointF uv) { return uv.y() < -marginV; })
           || all([marginV](QPointF uv) { return uv.y() > 1 + marginV; });
}

}  // namespace

LensGrid::LensGrid(QSizeF bandSize, const QRectF& lensRect, double step)
    : m_bandSize(bandSize)
    , m_lensRect(lensRect)
{
    if (!(step > 0) || !std::isfinite(step))
        step = defaultStep;
    m_columns = cellsAcross(lensRect.width(), step);
    m_rows = cellsAcross(lensRect.height(), step);
    if (isEmpty())
        return;
    m_destinations.reserve(qsizetype(m_columns + 1) * (m_rows + 1));
    m_sources.reserve(m_destinations.capacity());
    for (int row = 0; row <= m_rows; ++row) {
        const double y = lensRect.top() + lensRect.height() * row / m_rows;
        for (int column = 0; column <= m_columns; ++column) {
            const QPointF destination(lensRect.left() + lensRect.width() * column / m_columns, y);
            m_destinations.append(destination);
            m_sources.append(sourcePoint(bandSize, destination));
        }
    }
}

PictureMesh LensGrid::meshFor(const QTransform& toBand, const QRectF& rect) const
{
    PictureMesh mesh;
    bool invertible = false;
    const QTransform toPicture = toBand.inverted(&invertible);
    if (isEmpty() || !invertible || !(rect.width() > 0) || !(rect.height() > 0))
        return mesh;

    QList<QPointF> textureCoordinates(m_sources.size());
    for (qsizetype i = 0; i < m_sources.size(); ++i) {
        const QPointF local = toPicture.map(m_sources[i]);
        textureCoordinates[i] = {(local.x() - rect.left()) / rect.width(), (local.y() - rect.top()) / rect.height()};
    }
    const double marginU = cullMargin / rect.width();
    const double marginV = cullMargin / rect.height();

    // Each corner used by a kept cell becomes one vertex of the mesh, in the order first used.
    constexpr quint32 unused = ~quint32(0);
    QList<quint32> vertexOf(m_sources.size(), unused);
    const auto vertex = [&](qsizetype corner) {
        if (vertexOf[corner] != unused)
            return vertexOf[corner];
        const auto index = static_cast<quint32>(mesh.vertices.size());
        mesh.vertices.append(
            {static_cast<float>(m_destinations[corner].x()), static_cast<float>(m_destinations[corner].y()),
             static_cast<float>(textureCoordinates[corner].x()), static_cast<float>(textureCoordinates[corner].y())});
        vertexOf[corner] = index;
        return index;
    };
    for (int row = 0; row < m_rows; ++row) {
        for (int column = 0; column < m_columns; ++column) {
            const std::array<qsizetype, 4> corners = {cornerIndex(column, row), cornerIndex(column + 1, row),
                                                      cornerIndex(column + 1, row + 1), cornerIndex(column, row + 1)};
            if (isBeside({textureCoordinates[corners[0]], textureCoordinates[corners[1]],
                          textureCoordinates[corners[2]], textureCoordinates[corners[3]]},
                         marginU, marginV))
                continue;
            const std::array<quint32, 4> at = {vertex(corners[0]), vertex(corners[1]), vertex(corners[2]),
                                               vertex(corners[3])};
            mesh.indices.append({at[0], at[1], at[2], at[0], at[2], at[3]});
        }
    }
    return mesh;
}

}  // namespace fisheye_lens
