#include "overlay/SurfaceOverlay.h"

#include "overlay/NoticeWindow.h"

#include <QQuickItem>

namespace {

const QUrl bandScene(QStringLiteral("qrc:/zuvik/overlay/qml/OverlayScene.qml"));
const QUrl noticeScene(QStringLiteral("qrc:/zuvik/overlay/qml/NoticeScene.qml"));

}  // namespace

SurfaceOverlay::SurfaceOverlay(QQmlEngine& engine, QScreen& screen, FrameFeed& feed, OverlaySurfaceMaker makeSurface)
    : m_engine(engine)
    , m_screen(&screen)
    , m_makeSurface(std::move(makeSurface))
    , m_scene(engine, bandScene, screen, m_makeSurface(screen))
{
    m_fitted.emplace(m_scene.root(), feed, *this, [this](const QRect& onDisplay) { m_scene.place(onDisplay); });
    m_noticeTimer.setSingleShot(true);
    m_noticeTimer.setInterval(NoticeWindow::shownForMs);
    connect(&m_noticeTimer, &QTimer::timeout, this, [this] {
        if (m_notice)
            m_notice->setShown(false);
    });
    fitToScreen();
}

// A notice is made again for the display's new geometry.
void SurfaceOverlay::fitToScreen()
{
    if (m_screen)
        m_fitted->fitToDisplay(m_screen->size());
    m_notice.reset();
}

void SurfaceOverlay::setShown(bool shown)
{
    if (!shown && m_notice)
        m_notice->setShown(false);
    m_scene.setShown(shown);
}

void SurfaceOverlay::showNotice(const QString& text)
{
    if (!isShown() || !m_screen)
        return;
    if (!m_notice)
        m_notice = std::make_unique<SurfaceScene>(m_engine, noticeScene, *m_screen, m_makeSurface(*m_screen));
    QQuickItem* root = m_notice->root();
    if (!root)
        return;
    root->setProperty("text", text);
    const QSize size(qCeil(root->width()), qCeil(root->height()));
    m_notice->place(QRect(noticeOrigin(m_screen->size(), size), size));
    m_notice->setShown(true);
    m_noticeTimer.start();
}
