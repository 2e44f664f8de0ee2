// Pictures through the lens on a private X server, by OpenGL and again by the software renderer.
#include "overlay/FisheyeMapping.h"
#include "overlay/LensGrid.h"
#include "overlay/LensPictureNode.h"
#include "EventLoopWait.h"
#include <gtest/gtest.h>
#include <QQuickItem>
#include <QQuickWindow>

const QSizeF bandSize(400, 200);

// `rect` about the point `toBand` places, through the lens; red says x, green y, blue marks it against black.
struct PictureItem : QQuickItem {
    QRectF rect;
    QTransform toBand;
    QSGNode* updatePaintNode(QSGNode* old, UpdatePaintNodeData*) override
    {
        if (old)
            return old;
        QImage image(rect.size().toSize(), QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, qRgb(x * 255 / (image.width() - 1), y * 255 / (image.height() - 1), 255));
        auto* node = new LensPictureNode(*window(), image);
        const QRectF lens = fisheye_lens::destinationBounds(bandSize, toBand.mapRect(rect));
        node->setMesh(fisheye_lens::LensGrid(bandSize, lens).meshFor(toBand, rect));
        return node;
    }
};

// At least `inside` sampled pixels show the picture within `tolerance`, `beside` show nothing, not even its edge.
struct LensCase {
    const char* name;
    QRectF rect;
    QTransform toBand;
    double tolerance;
    int inside, beside;
};
class LensPicture : public ::testing::TestWithParam<LensCase> {};

TEST_P(LensPicture, EveryPixelShowsThePointTheMappingNames)
{
    const LensCase& c = GetParam();
    QQuickWindow window;
    window.setColor(Qt::black);
    window.resize(bandSize.toSize());
    PictureItem item;
    item.rect = c.rect;
    item.toBand = c.toBand;
    item.setFlag(QQuickItem::ItemHasContents);
    item.setSize(bandSize);
    item.setParentItem(window.contentItem());
    window.show();
    ASSERT_TRUE(waitFor([&window] { return window.isExposed(); }));
    const QImage lensed = window.grabWindow().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(lensed.size(), bandSize.toSize());
    int inside = 0, beside = 0;
    for (int y = 1; y < lensed.height(); y += 3) {
        for (int x = 1; x < lensed.width(); x += 3) {
            const QPointF local = c.toBand.inverted().map(
                fisheye_lens::sourcePoint(bandSize, QPointF(x + 0.5, y + 0.5)));
            const QRgb pixel = lensed.pixel(x, y);
            if (c.rect.adjusted(2, 2, -2, -2).contains(local)) {
                ++inside;
                ASSERT_GT(qBlue(pixel), 200) << "picture missing at " << x << "," << y;
                EXPECT_NEAR(qRed(pixel) * (c.rect.width() - 1) / 255.0, local.x() - c.rect.left() - 0.5, c.tolerance)
                    << x << "," << y;
                EXPECT_NEAR(qGreen(pixel) * (c.rect.height() - 1) / 255.0, local.y() - c.rect.top() - 0.5, c.tolerance)
                    << x << "," << y;
            } else if (!c.rect.adjusted(-2, -2, 2, 2).contains(local)) {
                ++beside;
                ASSERT_EQ(pixel & 0xffffff, 0u) << "drawn beside the picture at " << x << "," << y;
            }
        }
    }
    EXPECT_TRUE(inside >= c.inside && beside >= c.beside) << inside << " " << beside;
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, LensPicture,
    ::testing::Values(LensCase{"the_whole_band", QRectF(QPointF(0, 0), bandSize), QTransform(), 2.7, 8000, 0},
                      LensCase{"a_shrunk_word_near_the_rim", QRectF(-100, -30, 200, 60),
                               QTransform().translate(320, 150).rotate(3).scale(0.6, 0.6), 2.0 / 0.6, 150, 5000},
                      LensCase{"partly_beyond_the_band", QRectF(-150, -50, 300, 100), QTransform().translate(200, 10),
                               2.0, 300, 3000}),
    [](const auto& info) { return std::string(info.param.name); });
