#pragma once

#include "overlay/OverlaySurface.h"

#include <memory>

struct wl_compositor;
struct wl_output;
struct wl_display;
struct wl_shm;
struct zwlr_layer_shell_v1;

// The output Qt's Wayland platform made for `screen`; null for a placeholder screen.
wl_output* waylandOutputOf(QScreen& screen);

// The compositor's layer shell, on the connection that Qt's Wayland platform opened: it makes one
// overlay surface per display. Main thread; events come with Qt's own.
class LayerShell {
public:
    // Nothing (and a log line) when Qt does not run on Wayland or the compositor has no layer shell.
    static std::unique_ptr<LayerShell> connect();
    ~LayerShell();
    LayerShell(const LayerShell&) = delete;
    LayerShell& operator=(const LayerShell&) = delete;

    // A surface on the overlay layer of `screen`'s output, hidden until shown.
    std::unique_ptr<OverlaySurface> surfaceFor(QScreen& screen);

    struct Globals {
        wl_display* display = nullptr;
        wl_compositor* compositor = nullptr;
        wl_shm* shm = nullptr;
        zwlr_layer_shell_v1* layerShell = nullptr;
    };

private:
    explicit LayerShell(const Globals& globals);

    Globals m_globals;
};
