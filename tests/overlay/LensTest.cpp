#include "overlay/FisheyeMapping.h"
#include "overlay/LensGrid.h"
#include "overlay/LensWarp.h"
#include <gtest/gtest.h>

namespace {
using fisheye_lens::LensGrid;
using fisheye_lens::PictureMesh;
using fisheye_lens::sourcePoint;

const QSizeF fullHdBand(1920, 604.8);

TEST(FisheyeLens, MagnifiesTheMiddleLeavesTheRimAndStaysWithinTheDeclaredOffset)
{
    // (110, 50) in a 200 × 100 band is 0.1 half-widths out: it samples 0.1 × (1 − 0.45 × 0.9^2.2) = 0.06431 out.
    EXPECT_NEAR((sourcePoint({200, 100}, {110, 50}) - QPointF(106.43100421919424, 50)).manhattanLength(), 0, 1e-9);
    for (const QPointF point : {QPointF(100, 50), QPointF(200, 50), QPointF(100, 0), QPointF(0, 0), QPointF(-30, 400)})
        EXPECT_EQ(sourcePoint({200, 100}, point), point);
    EXPECT_TRUE(std::isnan(sourcePoint({200, 100}, {NAN, 50}).x()));
    for (int step = 1; step <= 1000; ++step)  // never folds along a ray
        ASSERT_GT(sourcePoint({200, 100}, {100 + step * 0.1, 50}).x(),
                  sourcePoint({200, 100}, {100 + step * 0.1 - 0.1, 50}).x())
            << step;
    // The compositor is promised no sample further than 0.45 of the band, whatever the band and lens.
    const std::tuple<QSizeF, double, double> lenses[] = {
        {fullHdBand, 0.45, 2.2}, {{1000, 1}, 0.45, 2.2}, {{1, 1000}, 0.45, 2.2}, {{0.5, 0.25}, 0.45, 2.2},
        {{0, 0}, 0.45, 2.2},     {{800, 300}, 3.0, 0.3}, {{800, 300}, -4.0, 2.2}};
    for (const auto& [size, strength, falloff] : lenses) {
        for (int i = -10; i <= 110; ++i) {
            for (int j = -10; j <= 110; ++j) {
                const QPointF destination(size.width() * i / 100.0, size.height() * j / 100.0);
                const QPointF source = sourcePoint(size, destination, strength, falloff);
                ASSERT_TRUE(std::abs(source.x() - destination.x()) <= 0.45 * size.width() + 1e-9
                            && std::abs(source.y() - destination.y()) <= 0.45 * size.height() + 1e-9)
                    << size.width();
            }
        }
    }
}

TEST(LensGrid, LeavesOutTheCellsBesideAPictureAndDrawsNothingForNonsense)
{
    const LensGrid grid(fullHdBand, QRectF(400, 100, 1120, 400));
    const PictureMesh small = grid.meshFor(QTransform::fromTranslate(960, 300), QRectF(-50, -20, 100, 40));
    EXPECT_TRUE(small.indices.size() > 0 && small.indices.size() < qsizetype(grid.columns()) * grid.rows() * 6 / 20);
    EXPECT_LT(small.vertices.size(), small.indices.size() / 2) << "cells share their corners";
    EXPECT_TRUE(grid.meshFor(QTransform::fromTranslate(100, 50), QRectF(-20, -20, 40, 40)).indices.isEmpty());
    const std::tuple<QRectF, QTransform, QRectF> nonsense[] = {
        {QRectF(), QTransform(), QRectF(0, 0, 100, 100)},  // no lens
        {QRectF(0, 0, 500, 300), QTransform(), QRectF(10, 10, 0, 30)},  // empty picture
        {QRectF(0, 0, 500, 300), QTransform::fromScale(0, 1), QRectF(0, 0, 100, 100)},  // flattened
        {QRectF(0, 0, std::nan(""), 300), QTransform(), QRectF(0, 0, 100, 100)}};  // not a number
    for (const auto& [lens, toBand, rect] : nonsense)
        EXPECT_TRUE(LensGrid(fullHdBand, lens).meshFor(toBand, rect).indices.isEmpty());
    const LensGrid huge(QSizeF(1e7, 1e7), QRectF(0, 0, 1e7, 1e7));
    EXPECT_LE(std::max(huge.columns(), huge.rows()), 1024);
}

// One cell of two triangles over `points`, its corners showing `uv` (left/top may pass right/bottom).
PictureMesh cell(QRectF points, QRectF uv)
{
    const auto corner = [&](bool right, bool bottom) {
        return fisheye_lens::MeshVertex{float(right ? points.right() : points.left()),
                                        float(bottom ? points.bottom() : points.top()),
                                        float(right ? uv.right() : uv.left()), float(bottom ? uv.bottom() : uv.top())};
    };
    return {{corner(false, false), corner(true, false), corner(true, true), corner(false, true)}, {0, 1, 2, 0, 2, 3}};
}

// Where the result lies (empty: none), whether it is mirrored, how many columns show the picture (the rest none).
struct WarpCase {
    const char* name;
    PictureMesh mesh;
    double pixelRatio;
    QRect pixels;
    bool mirrored;
    int shownColumns;
};
class Warp : public ::testing::TestWithParam<WarpCase> {};

TEST_P(Warp, ShowsEachPixelWhereTheMeshPutsIt)
{
    const WarpCase& c = GetParam();
    QImage picture(8, 4, QImage::Format_ARGB32_Premultiplied);  // every pixel its own opaque colour
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            picture.setPixel(x, y, qRgb(x * 30, y * 60, 200));
    const fisheye_lens::WarpedPicture warped = fisheye_lens::warpedThroughMesh(picture, c.mesh, c.pixelRatio);
    ASSERT_EQ(warped.pixels, c.pixels);
    ASSERT_EQ(warped.image.size(), c.pixels.size());
    for (int y = 0; y < warped.image.height(); ++y)
        for (int x = 0; x < warped.image.width(); ++x)
            EXPECT_EQ(warped.image.pixel(x, y), x >= c.shownColumns ? 0u : picture.pixel(c.mirrored ? 7 - x : x, y))
                << x << "," << y;
}

const auto plain = cell({0, 0, 8, 4}, {0, 0, 1, 1}).vertices;
INSTANTIATE_TEST_SUITE_P(
    Meshes, Warp,
    ::testing::Values(WarpCase{"WholePointsCopy", cell({10, 20, 8, 4}, {0, 0, 1, 1}), 1, {10, 20, 8, 4}, false, 8},
                      WarpCase{"ReversedMirrors", cell({10, 20, 8, 4}, {1, 0, -1, 1}), 1, {10, 20, 8, 4}, true, 8},
                      WarpCase{"DevicePixelsByRatio", cell({5, 10, 4, 2}, {0, 0, 1, 1}), 2, {10, 20, 8, 4}, false, 8},
                      WarpCase{"NoEdgeDrawnOut", cell({0, 0, 16, 4}, {0, 0, 2, 1}), 1, {0, 0, 16, 4}, false, 8},
                      WarpCase{"NoTriangles", {plain, {}}, 1, {}, false, 0},
                      WarpCase{"MissingCornerLeftOut", {plain, {0, 1, 9}}, 1, {0, 0, 8, 4}, false, 0},
                      WarpCase{
                          "NanCorner", {{{0, 0, 0, 0}, {NAN, 0, 1, 0}, {8, 4, 1, 1}}, {0, 1, 2}}, 1, {}, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });
}  // namespace
