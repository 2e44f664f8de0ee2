#include "overlay/TopmostWindow.h"

#include "overlay/BandGeometry.h"
#include "overlay/LyricBand.h"
#include "overlay/OverlayWindowFlags.h"
#include "overlay/SwayTransform.h"

#include <QQuickItem>
#include <QScreen>

namespace {

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
    , m_screen(&screen)
{
    setFlags(overlayWindowFlags);
    setColor(Qt::transparent);
    setScreen(&screen);
    setResizeMode(QQuickView::SizeRootObjectToView);
    setSource(QUrl(QStringLiteral("qrc:/zuvik/overlay/qml/OverlayScene.qml")));
    if (rootObject())
        m_band = rootObject()->findChild<LyricBand*>(QStringLiteral("lyricBand"));
    if (m_band) {
        m_band->setFeed(&feed);
        connect(m_band, &LyricBand::frameAdvanced, this, &TopmostWindow::onFrameAdvanced);
    }
    fitToScreen();
}

void TopmostWindow::fitToScreen()
{
    if (m_screen)
        fitToDisplay(m_screen->geometry());
}

void TopmostWindow::fitToDisplay(const QRect& display)
{
    QRect reach = reachOnDisplay(display.size());
    if (reach.isEmpty())
        reach.setSize(QSize(1, 1));  // a screen with no area: a window of one point, drawing nothing
    m_display = display;
    m_fit.emplace(reach, display.height());
    place(reach);
}

void TopmostWindow::place(const QRect& onDisplay)
{
    setGeometry(onDisplay.translated(m_display.topLeft()));
    if (m_band)
        m_band->setPlacement(m_display.size(), onDisplay.topLeft());
}

void TopmostWindow::onFrameAdvanced(const QRectF& drawn, double steadySeconds)
{
    if (!m_fit)
        return;
    const QPointF windowOnDisplay = geometry().topLeft() - m_display.topLeft();
    if (const auto fitted = m_fit->follow(drawn.translated(windowOnDisplay), steadySeconds))
        place(*fitted);
}
