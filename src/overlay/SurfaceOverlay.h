#pragma once

#include "overlay/DisplayOverlay.h"
#include "overlay/FittedBand.h"
#include "overlay/OverlaySurface.h"
#include "overlay/SurfaceScene.h"

#include <QPointer>
#include <QScreen>
#include <QTimer>

// A display's overlay as surfaces that the compositor keeps above every window (Wayland's layer
// shell), drawn by Zuvik itself: the band's scene, fitted to what it draws as a window would be,
// and the notice's, made on the first notice.
class SurfaceOverlay final : public QObject, public DisplayOverlay {
    Q_OBJECT
public:
    SurfaceOverlay(QQmlEngine& engine, QScreen& screen, FrameFeed& feed, OverlaySurfaceMaker makeSurface);

    SurfaceScene& scene() { return m_scene; }
    SurfaceScene* notice() const { return m_notice.get(); }

    LyricBand* band() const override { return m_fitted->band(); }
    void fitToScreen() override;
    void setShown(bool shown) override;
    bool isShown() const override { return m_scene.isShown(); }
    void showNotice(const QString& text) override;

private:
    QQmlEngine& m_engine;
    QPointer<QScreen> m_screen;  // gone when the display is unplugged, before the overlay is
    OverlaySurfaceMaker m_makeSurface;
    SurfaceScene m_scene;
    std::optional<FittedBand> m_fitted;
    std::unique_ptr<SurfaceScene> m_notice;
    QTimer m_noticeTimer;
};
