#include "overlay/LensWarp.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace fisheye_lens {

namespace {

// Larger than any band of any display: a mesh beyond it is broken, not drawn.
constexpr int largestSide = 16384;
// A pixel centre this close outside a triangle's edge still counts as inside, so that the
// triangles of a cell leave no gap between them where rounding puts a centre on neither side.
constexpr double edgeTolerance = 1e-6;

// Blends two premultiplied pixels, two channels at a time in the 0x00ff00ff lanes; `t` in 0...256.
quint32 mix(quint32 a, quint32 b, quint32 t)
{
    const quint32 s = 256 - t;
    const quint32 redBlue = ((((a & 0x00ff00ffu) * s) + ((b & 0x00ff00ffu) * t)) >> 8) & 0x00ff00ffu;
    const quint32 alphaGreen = ((((a >> 8) & 0x00ff00ffu) * s) + (((b >> 8) & 0x00ff00ffu) * t)) & 0xff00ff00u;
    return redBlue | alphaGreen;
}

// Texel positions in 16.16 fixed point: a triangle's texel position steps by a constant from one
// pixel to the next, and fixed point keeps the inner loop to integer sums and shifts.
constexpr double fixedOne = 65536;

// The picture sampled as a linearly filtered texture whose edge clamps to transparency: it is
// framed by a transparent texel, and a sample wholly beyond the frame is transparent.
class Sampler {
public:
    explicit Sampler(const QImage& picture)
        : m_width(picture.width())
        , m_height(picture.height())
        , m_framed(m_width + 2, m_height + 2, QImage::Format_ARGB32_Premultiplied)
    {
        m_framed.fill(Qt::transparent);
        for (int y = 0; y < m_height; ++y)
            std::memcpy(m_framed.scanLine(y + 1) + sizeof(quint32), picture.constScanLine(y),
                        sizeof(quint32) * m_width);
        m_bits = m_framed.constBits();
        m_stride = m_framed.bytesPerLine();
    }

    int width() const { return m_width; }
    int height() const { return m_height; }

    // `x`, `y`: the position in the framed picture's texels, 16.16, where texel centres lie at
    // whole numbers; texture coordinate 0 is at 0.5 (the frame's outer edge is -0.5...0.5 away).
    quint32 at(qint64 x, qint64 y) const
    {
        const qint64 column = x >> 16;
        const qint64 row = y >> 16;
        if (static_cast<quint64>(column) > static_cast<quint64>(m_width)
            || static_cast<quint64>(row) > static_cast<quint64>(m_height))
            return 0;
        const auto* top = reinterpret_cast<const quint32*>(m_bits + row * m_stride) + column;
        const auto* bottom = reinterpret_cast<const quint32*>(m_bits + (row + 1) * m_stride) + column;
        const auto across = static_cast<quint32>((x >> 8) & 0xff);
        const auto down = static_cast<quint32>((y >> 8) & 0xff);
        return mix(mix(top[0], top[1], across), mix(bottom[0], bottom[1], across), down);
    }

private:
    int m_width;
    int m_height;
    QImage m_framed;
    const uchar* m_bits = nullptr;
    qsizetype m_stride = 0;
};

struct Corner {
    double x;  // device pixels, from the warped image's top-left corner
    double y;
    double u;
    double v;
};

// A value given at the three corners, as the plane through them: value = at + x·perX + y·perY.
struct Plane {
    double at = 0;
    double perX = 0;
    double perY = 0;
    double value(double x, double y) const { return at + x * perX + y * perY; }
};

// `values` at the corners `c`; `area`: twice the triangle's signed area.
Plane planeThrough(const std::array<Corner, 3>& c, double area, std::array<double, 3> values)
{
    const auto [a, b, d] = values;
    Plane plane;
    plane.perX = ((b - a) * (c[2].y - c[0].y) - (d - a) * (c[1].y - c[0].y)) / area;
    plane.perY = ((d - a) * (c[1].x - c[0].x) - (b - a) * (c[2].x - c[0].x)) / area;
    plane.at = a - c[0].x * plane.perX - c[0].y * plane.perY;
    return plane;
}

// Far beyond any picture, and far from overflowing however many pixels a row steps over.
qint64 toFixed(double value)
{
    return static_cast<qint64>(std::clamp(std::floor(value * fixedOne + 0.5), -1e15, 1e15));
}

// The warped image's pixels, reached without a call per row.
struct Target {
    uchar* bits;
    qsizetype stride;
    int width;
    int height;
};

void fill(const Target& image, const Sampler& sampler, const std::array<Corner, 3>& c)
{
    const double area = (c[1].x - c[0].x) * (c[2].y - c[0].y) - (c[2].x - c[0].x) * (c[1].y - c[0].y);
    if (!(std::abs(area) > 1e-12))
        return;  // no pixel centre lies in a triangle without area
    // Each corner's weight is 1 there and 0 on the opposite edge; a point is inside where none is negative.
    const std::array<Plane, 3> weights = {planeThrough(c, area, {1, 0, 0}), planeThrough(c, area, {0, 1, 0}),
                                          planeThrough(c, area, {0, 0, 1})};
    // Texel positions in the framed picture (see Sampler::at).
    const Plane x = planeThrough(
        c, area, {c[0].u * sampler.width() + 0.5, c[1].u * sampler.width() + 0.5, c[2].u * sampler.width() + 0.5});
    const Plane y = planeThrough(
        c, area, {c[0].v * sampler.height() + 0.5, c[1].v * sampler.height() + 0.5, c[2].v * sampler.height() + 0.5});
    const qint64 stepX = toFixed(x.perX);
    const qint64 stepY = toFixed(y.perX);

    const auto [minY, maxY] = std::minmax({c[0].y, c[1].y, c[2].y});
    const int top = std::max(0, static_cast<int>(std::ceil(minY - 0.5)));
    const int bottom = std::min(image.height - 1, static_cast<int>(std::floor(maxY - 0.5)));
    for (int row = top; row <= bottom; ++row) {
        const double centreY = row + 0.5;
        // Along the row each weight is linear in x: where all three hold is one span.
        double from = 0.5;
        double to = image.width - 0.5;
        for (const Plane& weight : weights) {
            const double here = weight.at + centreY * weight.perY;
            if (std::abs(weight.perX) < 1e-12) {
                if (here < -edgeTolerance)
                    to = -1;  // the row misses the triangle
                continue;
            }
            const double edge = (-edgeTolerance - here) / weight.perX;
            if (weight.perX > 0)
                from = std::max(from, edge);
            else
                to = std::min(to, edge);
        }
        const int first = static_cast<int>(std::ceil(from - 0.5));
        const int last = static_cast<int>(std::floor(to - 0.5));
        if (first > last)
            continue;
        auto* line = reinterpret_cast<quint32*>(image.bits + row * image.stride);
        qint64 texelX = toFixed(x.value(first + 0.5, centreY));
        qint64 texelY = toFixed(y.value(first + 0.5, centreY));
        for (int column = first; column <= last; ++column) {
            line[column] = sampler.at(texelX, texelY);
            texelX += stepX;
            texelY += stepY;
        }
    }
}

}  // namespace

WarpedPicture warpedThroughMesh(const QImage& picture, const PictureMesh& mesh, double pixelRatio)
{
    WarpedPicture warped;
    if (picture.isNull() || mesh.vertices.isEmpty() || mesh.indices.size() < 3 || !(pixelRatio > 0))
        return warped;
    double minX = INFINITY;
    double minY = INFINITY;
    double maxX = -INFINITY;
    double maxY = -INFINITY;
    for (const MeshVertex& vertex : mesh.vertices) {
        if (!std::isfinite(vertex.x) || !std::isfinite(vertex.y) || !std::isfinite(vertex.u)
            || !std::isfinite(vertex.v))
            return warped;
        minX = std::min(minX, vertex.x * pixelRatio);
        minY = std::min(minY, vertex.y * pixelRatio);
        maxX = std::max(maxX, vertex.x * pixelRatio);
        maxY = std::max(maxY, vertex.y * pixelRatio);
    }
    if (maxX - minX > largestSide || maxY - minY > largestSide)
        return warped;
    const QPoint origin(static_cast<int>(std::floor(minX)), static_cast<int>(std::floor(minY)));
    const QSize size(static_cast<int>(std::ceil(maxX)) - origin.x(), static_cast<int>(std::ceil(maxY)) - origin.y());
    if (size.isEmpty())
        return warped;

    const Sampler sampler(picture.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const Target target{image.bits(), image.bytesPerLine(), image.width(), image.height()};
    const auto corner = [&](quint32 index) {
        const MeshVertex& vertex = mesh.vertices[index];
        return Corner{vertex.x * pixelRatio - origin.x(), vertex.y * pixelRatio - origin.y(), vertex.u, vertex.v};
    };
    for (qsizetype i = 0; i + 2 < mesh.indices.size(); i += 3) {
        const quint32 a = mesh.indices[i];
        const quint32 b = mesh.indices[i + 1];
        const quint32 c = mesh.indices[i + 2];
        if (std::max({a, b, c}) >= static_cast<quint32>(mesh.vertices.size()))
            continue;
        fill(target, sampler, {corner(a), corner(b), corner(c)});
    }
    warped.image = std::move(image);
    warped.pixels = QRect(origin, size);
    return warped;
}

}  // namespace fisheye_lens
