// The lens shader on a real GPU pipeline (Mesa's software rasteriser on a private X server),
// checked against the mapping it is meant to implement.
#include "overlay/FisheyeMapping.h"
#include "overlay/OverlayTypes.h"

#include "EventLoopWait.h"

#include <gtest/gtest.h>

#include <QQmlEngine>
#include <QQuickView>
#include <QTemporaryDir>

namespace {

constexpr int bandWidth = 400;
constexpr int bandHeight = 200;

// Each pixel says where it is: red is x, green is y, both in 0...255 across the band.
QImage coordinatePattern()
{
    QImage image(bandWidth, bandHeight, QImage::Format_RGB32);
    for (int y = 0; y < bandHeight; ++y) {
        for (int x = 0; x < bandWidth; ++x)
            image.setPixel(x, y, qRgb(x * 255 / (bandWidth - 1), y * 255 / (bandHeight - 1), 0));
    }
    return image;
}

QPointF decoded(QRgb pixel)
{
    return {qRed(pixel) * (bandWidth - 1) / 255.0, qGreen(pixel) * (bandHeight - 1) / 255.0};
}

class LensShader : public ::testing::Test {
protected:
    void SetUp() override
    {
        registerOverlayTypes();
        ASSERT_TRUE(coordinatePattern().save(folder.filePath(QStringLiteral("pattern.png"))));
    }

    // The pattern as the scene draws it, through the lens or not.
    QImage render(bool lens)
    {
        const QString qml = QStringLiteral(R"(
            import QtQuick
            import "qrc:/zuvik/overlay/qml"
            Image {
                width: %1; height: %2
                source: "file://%3"
                smooth: false
                layer.enabled: %4
                layer.effect: FisheyeLens { bandSize: Qt.size(%1, %2) }
            })")
                                .arg(bandWidth)
                                .arg(bandHeight)
                                .arg(folder.filePath(QStringLiteral("pattern.png")))
                                .arg(lens ? QStringLiteral("true") : QStringLiteral("false"));
        QFile file(folder.filePath(QStringLiteral("scene.qml")));
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(qml.toUtf8());
        file.close();
        QQuickView view;
        view.setSource(QUrl::fromLocalFile(file.fileName()));
        view.resize(bandWidth, bandHeight);
        view.show();
        if (!waitFor([&view] { return view.isExposed(); }))
            return {};
        return view.grabWindow().convertToFormat(QImage::Format_RGB32);
    }

    QTemporaryDir folder;
};

TEST_F(LensShader, WithoutTheLensTheBandIsDrawnUntouched)
{
    const QImage plain = render(false);
    ASSERT_EQ(plain.size(), QSize(bandWidth, bandHeight));
    for (const QPoint p : {QPoint(0, 0), QPoint(200, 100), QPoint(399, 199), QPoint(123, 45)}) {
        const QPointF at = decoded(plain.pixel(p));
        EXPECT_NEAR(at.x(), p.x(), 1.6);
        EXPECT_NEAR(at.y(), p.y(), 1.6);
    }
}

TEST_F(LensShader, EveryPixelShowsThePointTheMappingNames)
{
    const QImage lensed = render(true);
    ASSERT_EQ(lensed.size(), QSize(bandWidth, bandHeight));
    int checked = 0;
    for (int y = 5; y < bandHeight; y += 10) {
        for (int x = 5; x < bandWidth; x += 10) {
            const QPointF centre(x + 0.5, y + 0.5);
            const QPointF expected = fisheye_lens::sourcePoint(QSizeF(bandWidth, bandHeight), centre);
            const QPointF shown = decoded(lensed.pixel(x, y));
            // One pattern step (1.6 points at this size) plus a pixel for the sampling.
            EXPECT_NEAR(shown.x(), expected.x() - 0.5, 2.7) << "at " << x << "," << y;
            EXPECT_NEAR(shown.y(), expected.y() - 0.5, 2.7) << "at " << x << "," << y;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 40 * 20);
    // And the middle really is magnified: a step across it covers less of the pattern.
    const double across = decoded(lensed.pixel(210, 100)).x() - decoded(lensed.pixel(190, 100)).x();
    EXPECT_LT(across, 20 * 0.7);
}

}  // namespace
