// Pictures through the lens on a private X server, checked against the mapping they are meant to
// show: drawn over their meshes by OpenGL (Mesa's llvmpipe), and warped on the CPU when CTest runs
// them again with QT_QUICK_BACKEND=software.
#include "overlay/FisheyeMapping.h"
#include "overlay/LensGrid.h"
#include "overlay/LensPictureNode.h"

#include "EventLoopWait.h"

#include <gtest/gtest.h>

#include <QQuickItem>
#include <QQuickWindow>

namespace {

constexpr int bandWidth = 400;
constexpr int bandHeight = 200;
const QSizeF bandSize(bandWidth, bandHeight);

// Each pixel says where it is: red is x, green is y, both in 0...255 across the picture; blue
// marks the picture against the black behind it.
QImage coordinatePattern(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(x * 255 / (size.width() - 1), y * 255 / (size.height() - 1), 255));
    }
    return image;
}

// One picture of the pattern, `rect` about the point `toBand` places, drawn through the lens.
class PictureItem : public QQuickItem {
public:
    PictureItem(QQuickItem* parent, QRectF rect, QTransform toBand, double gridStep)
        : QQuickItem(parent)
        , m_rect(rect)
        , m_toBand(toBand)
        , m_gridStep(gridStep)
    {
        setFlag(ItemHasContents);
        setSize(bandSize);
    }

protected:
    QSGNode* updatePaintNode(QSGNode* old, UpdatePaintNodeData*) override
    {
        if (old)
            return old;
        const QSize pixels = m_rect.size().toSize();
        auto* node = new LensPictureNode(*window(), coordinatePattern(pixels));
        const QRectF lens = fisheye_lens::destinationBounds(bandSize, m_toBand.mapRect(m_rect));
        node->setMesh(fisheye_lens::LensGrid(bandSize, lens, m_gridStep).meshFor(m_toBand, m_rect));
        return node;
    }

private:
    QRectF m_rect;
    QTransform m_toBand;
    double m_gridStep;
};

class LensPicture : public ::testing::Test {
protected:
    QImage render(QRectF rect, QTransform toBand, double gridStep = fisheye_lens::LensGrid::defaultStep)
    {
        QQuickWindow window;
        window.setColor(Qt::black);
        window.resize(bandWidth, bandHeight);
        PictureItem item(window.contentItem(), rect, toBand, gridStep);
        window.show();
        if (!waitFor([&window] { return window.isExposed(); }))
            return {};
        return window.grabWindow().convertToFormat(QImage::Format_RGB32);
    }

    // The point of the picture the pixel shows, in the picture's pixels.
    static QPointF decoded(QRgb pixel, QSizeF picture)
    {
        return {qRed(pixel) * (picture.width() - 1) / 255.0, qGreen(pixel) * (picture.height() - 1) / 255.0};
    }
};

// The whole band as one picture: every pixel shows the point the mapping names.
TEST_F(LensPicture, EveryPixelShowsThePointTheMappingNames)
{
    const QRectF whole(0, 0, bandWidth, bandHeight);
    const QImage lensed = render(whole, QTransform());
    ASSERT_EQ(lensed.size(), QSize(bandWidth, bandHeight));
    int checked = 0;
    for (int y = 5; y < bandHeight; y += 10) {
        for (int x = 5; x < bandWidth; x += 10) {
            const QPointF expected = fisheye_lens::sourcePoint(bandSize, QPointF(x + 0.5, y + 0.5));
            const QPointF shown = decoded(lensed.pixel(x, y), bandSize);
            // One pattern step (1.6 points at this size) plus a pixel for the sampling.
            EXPECT_NEAR(shown.x(), expected.x() - 0.5, 2.7) << "at " << x << "," << y;
            EXPECT_NEAR(shown.y(), expected.y() - 0.5, 2.7) << "at " << x << "," << y;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 40 * 20);
    // And the middle really is magnified: a step across it covers less of the pattern.
    const double across = decoded(lensed.pixel(210, 100), bandSize).x() - decoded(lensed.pixel(190, 100), bandSize).x();
    EXPECT_LT(across, 20 * 0.7);
}

// A small tilted picture: where the mapping names a point of it, that point shows; where it
// names a point beside it, nothing does, not even the picture's edge drawn out.
TEST_F(LensPicture, ATiltedPictureShowsOnlyWhereTheMappingReachesIt)
{
    const QRectF rect(-60, -40, 120, 80);
    QTransform toBand;
    toBand.translate(230, 90);
    toBand.rotate(-8);
    const QImage lensed = render(rect, toBand);
    ASSERT_EQ(lensed.size(), QSize(bandWidth, bandHeight));
    const QTransform toPicture = toBand.inverted();
    int inside = 0;
    int beside = 0;
    for (int y = 1; y < bandHeight; y += 3) {
        for (int x = 1; x < bandWidth; x += 3) {
            const QPointF local = toPicture.map(fisheye_lens::sourcePoint(bandSize, QPointF(x + 0.5, y + 0.5)));
            const QRgb pixel = lensed.pixel(x, y);
            if (rect.adjusted(2, 2, -2, -2).contains(local)) {
                ++inside;
                ASSERT_GT(qBlue(pixel), 200) << "picture missing at " << x << "," << y;
                const QPointF shown = decoded(pixel, rect.size());
                EXPECT_NEAR(shown.x(), local.x() - rect.left() - 0.5, 2.0) << "at " << x << "," << y;
                EXPECT_NEAR(shown.y(), local.y() - rect.top() - 0.5, 2.0) << "at " << x << "," << y;
            } else if (!rect.adjusted(-2, -2, 2, 2).contains(local)) {
                ++beside;
                ASSERT_EQ(pixel & 0xffffff, 0u) << "drawn beside the picture at " << x << "," << y;
            }
        }
    }
    EXPECT_GT(inside, 500);
    EXPECT_GT(beside, 5000);
}

}  // namespace
