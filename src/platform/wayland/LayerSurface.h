#pragma once

#include "overlay/OverlaySurface.h"
#include "platform/wayland/LayerShell.h"
#include "platform/wayland/ShmBuffer.h"

#include <QPointer>
#include <QRect>
#include <QScreen>

#include <vector>

struct wl_callback;
struct wl_surface;
struct zwlr_layer_surface_v1;

// One display's overlay surface: a layer surface on the overlay layer of its output, above every
// window, anchored at the output's top-left corner and placed by its margins. It neither reserves
// room nor is moved by panels (exclusive zone -1), takes no keyboard focus, and its input region is
// empty, so every click and scroll goes to the window beneath. Frames are shared-memory pictures at
// the output's scale, handed over when the compositor's frame callback asks for the next.
class LayerSurface final : public OverlaySurface {
    Q_OBJECT
public:
    LayerSurface(const LayerShell::Globals& globals, QScreen& screen);
    ~LayerSurface() override;

    void place(const QRect& onDisplay) override;
    bool wantsFrame() const override;
    void present(const QImage& frame) override;
    void setShown(bool shown) override;

private:
    static void onConfigure(void* data, zwlr_layer_surface_v1*, uint32_t serial, uint32_t width, uint32_t height);
    static void onClosed(void* data, zwlr_layer_surface_v1*);
    static void onFrameDone(void* data, wl_callback*, uint32_t time);

    void create();
    void destroy();
    void sendPlacement();
    ShmBuffer* freeBuffer(QSize pixels);

    LayerShell::Globals m_globals;
    QPointer<QScreen> m_screen;  // its output is asked for at each showing: Qt drops it with the screen
    wl_surface* m_surface = nullptr;
    zwlr_layer_surface_v1* m_layer = nullptr;
    wl_callback* m_frameCallback = nullptr;
    bool m_configured = false;
    bool m_closed = false;  // by the compositor, for good
    QRect m_placement;
    bool m_placementSent = false;
    std::vector<std::unique_ptr<ShmBuffer>> m_buffers;
};
