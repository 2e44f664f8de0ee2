#include "overlay/TopmostWindow.h"

#include "overlay/BandGeometry.h"
#include "overlay/LyricBand.h"
#include "overlay/SwayTransform.h"

#include <QQuickItem>
#include <QScreen>

namespace {

constexpr Qt::WindowFlags overlayFlags = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                                         | Qt::BypassWindowManagerHint | Qt::WindowDoesNotAcceptFocus
                                         | Qt::WindowTransparentForInput;
// The largest sway of any look; the window is sized for it once, so switching looks never
// resizes it.
constexpr double largestSwayAmplitude = 1.0;

// The part of a display of this size that the band can ever draw on, in display coordinates,
// rounded out to whole points.
QRect reachOnDisplay(QSizeF display)
{
    const QRectF band = band::bandRect(display);
    const QRectF reach = swayReach(band.size(), largestSwayAmplitude).translated(band.topLeft());
    return reach.intersected(QRectF(QPointF(0, 0), display)).toAlignedRect();
}

}  // namespace

TopmostWindow::TopmostWindow(QQmlEngine& engine, QScreen& screen, FrameFeed& feed)
    : QQuickView(&engine, nullptr)
    , m_screen(screen)
{
    setFlags(overlayFlags);
    setColor(Qt::transparent);
    setScreen(&screen);
    setResizeMode(QQuickView::SizeRootObjectToView);
    setSource(QUrl(QStringLiteral("qrc:/zuvik/overlay/qml/OverlayScene.qml")));
    if (rootObject())
        m_band = rootObject()->findChild<LyricBand*>(QStringLiteral("lyricBand"));
    if (m_band)
        m_band->setFeed(&feed);
    fitToScreen();
}

void TopmostWindow::fitToScreen()
{
    fitToDisplay(m_screen.geometry());
}

void TopmostWindow::fitToDisplay(const QRect& display)
{
    QRect reach = reachOnDisplay(display.size());
    if (reach.isEmpty())
        reach.setSize(QSize(1, 1));  // a screen with no area: a window of one point, drawing nothing
    setGeometry(reach.translated(display.topLeft()));
    if (m_band)
        m_band->setPlacement(display.size(), reach.topLeft());
}
