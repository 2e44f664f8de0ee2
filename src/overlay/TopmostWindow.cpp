#include "overlay/TopmostWindow.h"

#include "overlay/LyricBand.h"
#include "overlay/OverlayWindowFlags.h"

#include <QQuickItem>
#include <QScreen>

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
    m_fitted.emplace(m_band, [this](const QRect& onDisplay) { setGeometry(onDisplay.translated(m_displayOrigin)); });
    if (m_band) {
        m_band->setFeed(&feed);
        connect(m_band, &LyricBand::frameAdvanced, this,
                [this](const QRectF& drawn, double steadySeconds) { m_fitted->follow(drawn, steadySeconds); });
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
    m_displayOrigin = display.topLeft();
    m_fitted->fitToDisplay(display.size());
}
