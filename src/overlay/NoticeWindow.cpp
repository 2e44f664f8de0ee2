#include "overlay/NoticeWindow.h"

#include "overlay/BandGeometry.h"
#include "overlay/OverlayWindowFlags.h"

#include <QQuickItem>

NoticeWindow::NoticeWindow(QQmlEngine& engine, QScreen& screen)
    : QQuickView(&engine, nullptr)
    , m_screen(&screen)
{
    setFlags(overlayWindowFlags);
    setColor(Qt::transparent);
    setScreen(&screen);
    setResizeMode(QQuickView::SizeViewToRootObject);
    setSource(QUrl(QStringLiteral("qrc:/zuvik/overlay/qml/NoticeScene.qml")));
    m_hideTimer.setSingleShot(true);
    m_hideTimer.setInterval(shownForMs);
    connect(&m_hideTimer, &QTimer::timeout, this, &QWindow::hide);
}

void NoticeWindow::showText(const QString& text)
{
    if (QQuickItem* root = rootObject()) {
        root->setProperty("text", text);
        resize(QSize(qCeil(root->width()), qCeil(root->height())));
    }
    placeOnScreen();
    show();
    raise();
    m_hideTimer.start();
}

QString NoticeWindow::text() const { return rootObject() ? rootObject()->property("text").toString() : QString(); }

QPoint noticeOrigin(QSize display, QSize notice)
{
    const QRectF bandRect = band::bandRect(display);
    return {qRound(bandRect.center().x() - notice.width() / 2.0), qRound(bandRect.top())};
}

void NoticeWindow::placeOnScreen()
{
    if (m_screen)
        setPosition(m_screen->geometry().topLeft() + noticeOrigin(m_screen->size(), size()));
}
