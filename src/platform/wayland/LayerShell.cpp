#include "platform/wayland/LayerShell.h"

#include "foundation/DiagLog.h"
#include "platform/wayland/LayerSurface.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"

#include <QGuiApplication>
#include <QScreen>
#include <qpa/qplatformnativeinterface.h>

#include <wayland-client.h>

#include <algorithm>
#include <cstring>

namespace {

// Damage in buffer coordinates and the buffer scale come with version 4 of the compositor; an
// older one is used as it is.
constexpr uint32_t compositorVersion = 4;

template <typename Proxy>
Proxy* bind(wl_registry* registry, uint32_t name, const wl_interface& interface, uint32_t offered, uint32_t wanted)
{
    return static_cast<Proxy*>(wl_registry_bind(registry, name, &interface, std::min(offered, wanted)));
}

void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version)
{
    auto& globals = *static_cast<LayerShell::Globals*>(data);
    if (std::strcmp(interface, wl_compositor_interface.name) == 0)
        globals.compositor = bind<wl_compositor>(registry, name, wl_compositor_interface, version, compositorVersion);
    else if (std::strcmp(interface, wl_shm_interface.name) == 0)
        globals.shm = bind<wl_shm>(registry, name, wl_shm_interface, version, 1);
    else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0)
        globals.layerShell = bind<zwlr_layer_shell_v1>(registry, name, zwlr_layer_shell_v1_interface, version, 1);
}

void onGlobalRemoved(void*, wl_registry*, uint32_t) {}

const wl_registry_listener registryListener{onGlobal, onGlobalRemoved};

void* nativeResource(const char* name, QScreen* screen = nullptr)
{
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    if (!native)
        return nullptr;
    return screen ? native->nativeResourceForScreen(name, screen) : native->nativeResourceForIntegration(name);
}

// Bound on a queue of our own, so that the roundtrip dispatches nothing of Qt's; then handed to
// the default queue, which Qt dispatches on the main thread.
LayerShell::Globals bindGlobals(wl_display* display)
{
    LayerShell::Globals globals{display};
    wl_event_queue* queue = wl_display_create_queue(display);
    auto* wrapper = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapper), queue);
    wl_registry* registry = wl_display_get_registry(wrapper);
    wl_registry_add_listener(registry, &registryListener, &globals);
    wl_display_roundtrip_queue(display, queue);
    for (void* proxy : {static_cast<void*>(globals.compositor), static_cast<void*>(globals.shm),
                        static_cast<void*>(globals.layerShell)}) {
        if (proxy)
            wl_proxy_set_queue(static_cast<wl_proxy*>(proxy), nullptr);
    }
    wl_registry_destroy(registry);
    wl_proxy_wrapper_destroy(wrapper);
    wl_event_queue_destroy(queue);
    return globals;
}

}  // namespace

wl_output* waylandOutputOf(QScreen& screen) { return static_cast<wl_output*>(nativeResource("output", &screen)); }

std::unique_ptr<LayerShell> LayerShell::connect()
{
    auto* display = static_cast<wl_display*>(nativeResource("wl_display"));
    if (!display) {
        DiagLog::log(QStringLiteral("overlay: Qt is not on Wayland — no layer shell"));
        return nullptr;
    }
    const Globals globals = bindGlobals(display);
    std::unique_ptr<LayerShell> shell(new LayerShell(globals));
    if (!globals.compositor || !globals.shm || !globals.layerShell) {
        DiagLog::log(QStringLiteral("overlay: this compositor offers no layer-shell"));
        return nullptr;
    }
    return shell;
}

LayerShell::LayerShell(const Globals& globals)
    : m_globals(globals)
{}

LayerShell::~LayerShell()
{
    if (m_globals.layerShell)
        zwlr_layer_shell_v1_destroy(m_globals.layerShell);
    if (m_globals.shm)
        wl_shm_destroy(m_globals.shm);
    if (m_globals.compositor)
        wl_compositor_destroy(m_globals.compositor);
}

std::unique_ptr<OverlaySurface> LayerShell::surfaceFor(QScreen& screen)
{
    return std::make_unique<LayerSurface>(m_globals, screen);
}
