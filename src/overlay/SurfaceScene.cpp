#include "overlay/SurfaceScene.h"

#include "foundation/DiagLog.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickRenderControl>
#include <QQuickRenderTarget>
#include <QQuickWindow>
#include <QScreen>

SurfaceScene::SurfaceScene(QQmlEngine& engine, const QUrl& scene, QScreen& screen,
                           std::unique_ptr<OverlaySurface> surface, QObject* parent)
    : QObject(parent)
    , m_control(std::make_unique<QQuickRenderControl>())
    , m_window(std::make_unique<QQuickWindow>(m_control.get()))
    , m_surface(std::move(surface))
{
    m_window->setScreen(&screen);
    m_window->setColor(Qt::transparent);
    QQmlComponent component(&engine, scene);
    m_root = qobject_cast<QQuickItem*>(component.create());
    if (!m_root) {
        DiagLog::log(QStringLiteral("overlay: the scene %1 did not load: %2")
                         .arg(scene.toString(), component.errorString().trimmed()));
    } else {
        m_root->setParent(m_window.get());
        m_root->setParentItem(m_window->contentItem());
    }
    // Only a graphics API needs setting up; the software renderer must not be.
    if (QQuickWindow::sceneGraphBackend() != QLatin1String("software") && !m_control->initialize())
        DiagLog::log(QStringLiteral("overlay: Qt Quick could not draw offscreen"));
    connect(m_control.get(), &QQuickRenderControl::renderRequested, this, &SurfaceScene::onSceneChanged);
    connect(m_control.get(), &QQuickRenderControl::sceneChanged, this, &SurfaceScene::onSceneChanged);
    connect(m_surface.get(), &OverlaySurface::frameWanted, this, &SurfaceScene::onFrameWanted);
}

// The scene reports its own tear-down as changes, which must not reach this half-destroyed
// object; the render control frees the scene graph, so it goes before the window.
SurfaceScene::~SurfaceScene()
{
    m_control->disconnect(this);
    m_surface.reset();
    delete m_root;
    m_control.reset();
    m_window.reset();
}

void SurfaceScene::place(const QRect& onDisplay)
{
    const bool resized = onDisplay.size() != m_placement.size();
    m_placement = onDisplay;
    m_surface->place(onDisplay);
    if (resized) {
        m_window->resize(onDisplay.size());
        m_window->contentItem()->setSize(onDisplay.size());
        if (m_root)
            m_root->setSize(onDisplay.size());
        const qreal scale = m_window->effectiveDevicePixelRatio();
        m_picture = QImage(onDisplay.size() * scale, QImage::Format_ARGB32_Premultiplied);
        m_picture.setDevicePixelRatio(scale);
        m_picture.fill(Qt::transparent);
        m_window->setRenderTarget(QQuickRenderTarget::fromPaintDevice(&m_picture));
    }
    onSceneChanged();
}

void SurfaceScene::setShown(bool shown)
{
    if (shown == m_shown)
        return;
    m_shown = shown;
    m_onScreenSinceLastWant = false;
    m_surface->setShown(shown);
    if (shown)
        m_changed = true;  // a shown surface starts empty: its first frame is drawn whole
}

void SurfaceScene::onSceneChanged()
{
    m_changed = true;
    if (m_drawQueued || !m_shown || !m_surface->wantsFrame())
        return;
    // Not drawn from inside the item that asked, which may be in the middle of changing.
    m_drawQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_drawQueued = false;
            if (m_changed && m_shown && m_surface->wantsFrame())
                drawFrame();
        },
        Qt::QueuedConnection);
}

void SurfaceScene::onFrameWanted()
{
    if (m_onScreenSinceLastWant) {
        m_onScreenSinceLastWant = false;
        Q_EMIT m_window->frameSwapped();
    }
    if (m_changed && m_shown)
        drawFrame();
}

void SurfaceScene::drawFrame()
{
    m_control->polishItems();  // the band steps its animation here, and may move the scene
    m_changed = false;  // what the polish changed is drawn now
    if (m_picture.isNull())
        return;
    m_control->beginFrame();
    m_control->sync();
    m_control->render();
    m_control->endFrame();
    m_surface->present(m_picture);
    m_onScreenSinceLastWant = true;
    ++m_framesDrawn;
}
