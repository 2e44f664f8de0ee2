#include "overlay/WindowOverlay.h"

#include "overlay/OverlaySpace.h"

WindowOverlay::WindowOverlay(QQmlEngine& engine, QScreen& screen, FrameFeed& feed, OverlaySpace& space)
    : m_engine(engine)
    , m_space(space)
    , m_window(engine, screen, feed)
{
    m_space.addWindow(m_window);
}

// A notice is made again for the display's new geometry.
void WindowOverlay::fitToScreen()
{
    m_window.fitToScreen();
    m_notice.reset();
}

void WindowOverlay::setShown(bool shown)
{
    if (!shown) {
        if (m_notice)
            m_notice->hide();
        m_window.hide();
        return;
    }
    m_space.showSpace();
    m_window.show();
    m_space.addWindow(m_window);
}

void WindowOverlay::showNotice(const QString& text)
{
    if (!m_window.isVisible() || !m_window.screen())
        return;
    if (!m_notice) {
        m_notice = std::make_unique<NoticeWindow>(m_engine, *m_window.screen());
        m_space.addWindow(*m_notice);
    }
    m_space.showSpace();
    m_notice->showText(text);
    m_space.addWindow(*m_notice);
}
