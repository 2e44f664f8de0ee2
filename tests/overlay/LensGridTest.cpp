#include "overlay/FisheyeMapping.h"
#include "overlay/LensGrid.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <cmath>

namespace {

using fisheye_lens::LensGrid;
using fisheye_lens::PictureMesh;

const QSizeF fullHdBand(1920, 604.8);

// The texture coordinate a mesh interpolates at `point`, or nothing if no triangle holds it.
std::optional<QPointF> interpolatedAt(const PictureMesh& mesh, QPointF point)
{
    for (qsizetype i = 0; i + 2 < mesh.indices.size(); i += 3) {
        const auto& a = mesh.vertices[mesh.indices[i]];
        const auto& b = mesh.vertices[mesh.indices[i + 1]];
        const auto& c = mesh.vertices[mesh.indices[i + 2]];
        const double det = (b.y - c.y) * (a.x - c.x) + (c.x - b.x) * (a.y - c.y);
        if (std::abs(det) < 1e-12)
            continue;
        const double wa = ((b.y - c.y) * (point.x() - c.x) + (c.x - b.x) * (point.y() - c.y)) / det;
        const double wb = ((c.y - a.y) * (point.x() - c.x) + (a.x - c.x) * (point.y() - c.y)) / det;
        const double wc = 1 - wa - wb;
        constexpr double edge = -1e-9;
        if (wa >= edge && wb >= edge && wc >= edge)
            return QPointF(wa * a.u + wb * b.u + wc * c.u, wa * a.v + wb * b.v + wc * c.v);
    }
    return std::nullopt;
}

QTransform placement(QPointF centre, double degrees, double scale)
{
    QTransform transform;
    transform.translate(centre.x(), centre.y());
    transform.rotate(degrees);
    transform.scale(scale, scale);
    return transform;
}

QRectF lensOver(const QRectF& picturesInBand)
{
    return fisheye_lens::destinationBounds(fullHdBand, picturesInBand).toAlignedRect();
}

struct PictureCase {
    const char* name;
    QRectF rect;  // about the point the placement puts at `centre`
    QPointF centre;
    double degrees;
    double scale;
};

class PictureThroughLens : public ::testing::TestWithParam<PictureCase> {};

// Everywhere the picture shows through the lens the mesh is there, and it shows the point of the
// picture the mapping names, to well under a pixel; where no triangle is, the lens shows
// nothing of the picture.
TEST_P(PictureThroughLens, ShowsWhatTheMappingNames)
{
    const PictureCase& c = GetParam();
    const QTransform toBand = placement(c.centre, c.degrees, c.scale);
    const QRectF lens = lensOver(toBand.mapRect(c.rect));
    const LensGrid grid(fullHdBand, lens);
    const PictureMesh mesh = grid.meshFor(toBand, c.rect);
    ASSERT_FALSE(mesh.indices.isEmpty());
    for (const quint32 index : mesh.indices)
        ASSERT_LT(index, static_cast<quint32>(mesh.vertices.size()));

    const QTransform toPicture = toBand.inverted();
    QRandomGenerator random(7);
    int inside = 0;
    for (int i = 0; i < 3000; ++i) {
        const QPointF destination(lens.left() + random.generateDouble() * lens.width(),
                                  lens.top() + random.generateDouble() * lens.height());
        const QPointF local = toPicture.map(fisheye_lens::sourcePoint(fullHdBand, destination));
        const QPointF expected((local.x() - c.rect.left()) / c.rect.width(), (local.y() - c.rect.top()) / c.rect.height());
        const auto shown = interpolatedAt(mesh, destination);
        // A point a pixel or more inside the picture must be covered.
        if (c.rect.adjusted(1, 1, -1, -1).contains(local)) {
            ++inside;
            ASSERT_TRUE(shown) << "nothing drawn at " << destination.x() << "," << destination.y();
        }
        if (!shown)
            continue;
        // Half a pixel on screen, in the picture's own units.
        const double tolerance = 0.5 / c.scale;
        EXPECT_NEAR(shown->x() * c.rect.width(), expected.x() * c.rect.width(), tolerance);
        EXPECT_NEAR(shown->y() * c.rect.height(), expected.y() * c.rect.height(), tolerance);
    }
    EXPECT_GT(inside, 300);
}

INSTANTIATE_TEST_SUITE_P(
    FisheyeLook, PictureThroughLens,
    ::testing::Values(PictureCase{"big_word_in_the_middle", {-420, -110, 840, 220}, {960, 302}, 0, 1},
                      PictureCase{"tilted_and_shrinking", {-300, -90, 600, 180}, {930, 200}, -2.5, 0.6},
                      PictureCase{"near_the_rim", {-150, -60, 300, 120}, {1650, 420}, 2.5, 1},
                      PictureCase{"pictogram_beside_a_word", {-40, -40, 80, 80}, {520, 330}, 12, 1.3},
                      PictureCase{"partly_beyond_the_band", {-300, -100, 600, 200}, {960, 20}, 0, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LensGrid, LeavesOutTheCellsBesideAPicture)
{
    const LensGrid grid(fullHdBand, QRectF(400, 100, 1120, 400));
    const QTransform toBand = placement({960, 300}, 0, 1);
    const qsizetype everyCell = qsizetype(grid.columns()) * grid.rows() * 6;
    const PictureMesh small = grid.meshFor(toBand, QRectF(-50, -20, 100, 40));
    EXPECT_GT(small.indices.size(), 0);
    EXPECT_LT(small.indices.size(), everyCell / 20);
    // Cells share their corners.
    EXPECT_LT(small.vertices.size(), small.indices.size() / 2);
    const PictureMesh elsewhere = grid.meshFor(placement({100, 50}, 0, 1), QRectF(-20, -20, 40, 40));
    EXPECT_TRUE(elsewhere.indices.isEmpty());
}

struct DegenerateCase {
    const char* name;
    QSizeF band;
    QRectF lens;
    QTransform toBand;
    QRectF rect;
};

class DegenerateLens : public ::testing::TestWithParam<DegenerateCase> {};

TEST_P(DegenerateLens, DrawsNothing)
{
    const DegenerateCase& c = GetParam();
    const PictureMesh mesh = LensGrid(c.band, c.lens).meshFor(c.toBand, c.rect);
    EXPECT_TRUE(mesh.indices.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, DegenerateLens,
    ::testing::Values(DegenerateCase{"no_lens", fullHdBand, QRectF(), QTransform(), QRectF(0, 0, 100, 100)},
                      DegenerateCase{"empty_picture", fullHdBand, QRectF(0, 0, 500, 300), QTransform(), QRectF(10, 10, 0, 30)},
                      DegenerateCase{"flattened_picture", fullHdBand, QRectF(0, 0, 500, 300), QTransform::fromScale(0, 1),
                                     QRectF(0, 0, 100, 100)},
                      DegenerateCase{"not_a_number", fullHdBand, QRectF(0, 0, std::nan(""), 300), QTransform(),
                                     QRectF(0, 0, 100, 100)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LensGrid, AHugeLensIsCappedToAGridItCanDraw)
{
    const LensGrid grid(QSizeF(1e7, 1e7), QRectF(0, 0, 1e7, 1e7));
    EXPECT_LE(grid.columns(), 1024);
    EXPECT_LE(grid.rows(), 1024);
}

}  // namespace
