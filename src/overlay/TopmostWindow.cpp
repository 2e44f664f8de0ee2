#include "overlay/TopmostWindow.h"

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
    m_fitted.emplace(rootObject(), feed, *this,
                     [this](const QRect& onDisplay) { setGeometry(onDisplay.translated(m_displayOrigin)); });
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
