#include "overlay/LensWarp.h"

#include <gtest/gtest.h>

namespace {

using fisheye_lens::PictureMesh;

constexpr int pictureWidth = 8;
constexpr int pictureHeight = 4;

// Every pixel its own opaque colour.
QImage numberedPicture()
{
    QImage picture(pictureWidth, pictureHeight, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < pictureHeight; ++y) {
        for (int x = 0; x < pictureWidth; ++x)
            picture.setPixel(x, y, qRgb(x * 30, y * 60, 200));
    }
    return picture;
}

// One cell of two triangles over `points`, its corners showing `uv` (left/top may pass right/bottom).
PictureMesh cell(QRectF points, QRectF uv)
{
    const auto x = [&](bool right) { return static_cast<float>(right ? points.right() : points.left()); };
    const auto y = [&](bool bottom) { return static_cast<float>(bottom ? points.bottom() : points.top()); };
    const auto u = [&](bool right) { return static_cast<float>(right ? uv.right() : uv.left()); };
    const auto v = [&](bool bottom) { return static_cast<float>(bottom ? uv.bottom() : uv.top()); };
    return {{{x(false), y(false), u(false), v(false)},
             {x(true), y(false), u(true), v(false)},
             {x(true), y(true), u(true), v(true)},
             {x(false), y(true), u(false), v(true)}},
            {0, 1, 2, 0, 2, 3}};
}

struct WarpCase {
    const char* name;
    PictureMesh mesh;
    double pixelRatio;
    QRect pixels;      // where the result lies; empty: no result
    bool mirrored;     // the result shows the picture left to right reversed
    int shownColumns;  // columns of the result that show the picture; the rest are transparent
};

class Warp : public ::testing::TestWithParam<WarpCase> {};

TEST_P(Warp, ShowsEachPixelWhereTheMeshPutsIt)
{
    const WarpCase& c = GetParam();
    const QImage picture = numberedPicture();
    const fisheye_lens::WarpedPicture warped = fisheye_lens::warpedThroughMesh(picture, c.mesh, c.pixelRatio);
    ASSERT_EQ(warped.pixels, c.pixels);
    if (c.pixels.isEmpty()) {
        EXPECT_TRUE(warped.image.isNull());
        return;
    }
    ASSERT_EQ(warped.image.size(), c.pixels.size());
    for (int y = 0; y < warped.image.height(); ++y) {
        for (int x = 0; x < warped.image.width(); ++x) {
            const QRgb expected = x >= c.shownColumns ? 0u : picture.pixel(c.mirrored ? pictureWidth - 1 - x : x, y);
            EXPECT_EQ(warped.image.pixel(x, y), expected) << "at " << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Meshes, Warp, ::testing::Values(
    WarpCase{"ACellOnWholePointsCopiesThePicture", cell({10, 20, 8, 4}, {0, 0, 1, 1}), 1, {10, 20, 8, 4}, false, 8},
    WarpCase{"ReversedCoordinatesMirrorIt", cell({10, 20, 8, 4}, {1, 0, -1, 1}), 1, {10, 20, 8, 4}, true, 8},
    WarpCase{"DevicePixelsAreThePointsTimesTheRatio", cell({5, 10, 4, 2}, {0, 0, 1, 1}), 2, {10, 20, 8, 4}, false, 8},
    WarpCase{"BeyondThePictureNothingShowsNotItsEdgeDrawnOut", cell({0, 0, 16, 4}, {0, 0, 2, 1}), 1,
             {0, 0, 16, 4}, false, 8},
    WarpCase{"NoTrianglesNoPicture", {cell({0, 0, 8, 4}, {0, 0, 1, 1}).vertices, {}}, 1, {}, false, 0},
    WarpCase{"ATriangleNamingAMissingCornerIsLeftOut", {cell({0, 0, 8, 4}, {0, 0, 1, 1}).vertices, {0, 1, 9}},
             1, {0, 0, 8, 4}, false, 0},
    WarpCase{"ACornerThatIsNotANumberGivesNoPicture",
             {{{0, 0, 0, 0}, {NAN, 0, 1, 0}, {8, 4, 1, 1}}, {0, 1, 2}}, 1, {}, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
