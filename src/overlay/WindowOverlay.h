#pragma once

#include "overlay/DisplayOverlay.h"
#include "overlay/NoticeWindow.h"
#include "overlay/TopmostWindow.h"

class OverlaySpace;

// A display's overlay as windows kept above every other (X11, and XWayland under a Wayland
// session): the band's window, and the notice's, made on the first notice.
class WindowOverlay final : public DisplayOverlay {
public:
    WindowOverlay(QQmlEngine& engine, QScreen& screen, FrameFeed& feed, OverlaySpace& space);

    TopmostWindow& window() { return m_window; }
    NoticeWindow* notice() const { return m_notice.get(); }

    LyricBand* band() const override { return m_window.band(); }
    void fitToScreen() override;
    void setShown(bool shown) override;
    bool isShown() const override { return m_window.isVisible(); }
    void showNotice(const QString& text) override;

private:
    QQmlEngine& m_engine;
    OverlaySpace& m_space;
    TopmostWindow m_window;
    std::unique_ptr<NoticeWindow> m_notice;
};
