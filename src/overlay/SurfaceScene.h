#pragma once

#include "overlay/OverlaySurface.h"

#include <QImage>
#include <QObject>
#include <QRect>

#include <memory>

class QQmlEngine;
class QQuickItem;
class QQuickRenderControl;
class QQuickWindow;
class QUrl;

// A QML scene drawn by Qt Quick's software renderer into an OverlaySurface. A frame is drawn when
// the scene changed and the compositor asks for one, so frames keep to the display's pace and
// none is drawn while nothing changes. Once a frame is on screen the scene's window reports
// `frameSwapped`, as a shown window does: the band paces its animation by it.
class SurfaceScene : public QObject {
    Q_OBJECT
public:
    // Needs Qt Quick's software renderer (QQuickWindow::setGraphicsApi) chosen before.
    SurfaceScene(QQmlEngine& engine, const QUrl& scene, QScreen& screen, std::unique_ptr<OverlaySurface> surface,
                 QObject* parent = nullptr);
    ~SurfaceScene() override;

    QQuickItem* root() const { return m_root; }
    QQuickWindow& window() const { return *m_window; }
    // The scene's rectangle on its display, in points; it is drawn at the display's scale.
    void place(const QRect& onDisplay);
    QRect placement() const { return m_placement; }
    void setShown(bool shown);
    bool isShown() const { return m_shown; }
    qint64 framesDrawn() const { return m_framesDrawn; }

private:
    void onSceneChanged();
    void onFrameWanted();
    void drawFrame();

    std::unique_ptr<QQuickRenderControl> m_control;
    std::unique_ptr<QQuickWindow> m_window;
    QQuickItem* m_root = nullptr;  // owned by the window
    std::unique_ptr<OverlaySurface> m_surface;
    QImage m_picture;  // kept between frames: the renderer repaints only what changed
    QRect m_placement;
    bool m_shown = false;
    bool m_changed = false;
    bool m_drawQueued = false;
    bool m_onScreenSinceLastWant = false;
    qint64 m_framesDrawn = 0;
};
