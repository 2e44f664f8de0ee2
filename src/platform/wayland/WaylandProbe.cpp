#include "platform/wayland/WaylandProbe.h"

#include "wlr-layer-shell-unstable-v1-client-protocol.h"

#include <QFile>

#include <sys/socket.h>
#include <wayland-client.h>

#include <cstring>

namespace {

void onGlobal(void* data, wl_registry*, uint32_t, const char* interface, uint32_t)
{
    if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0)
        static_cast<WaylandCompositor*>(data)->hasLayerShell = true;
}

void onGlobalRemoved(void*, wl_registry*, uint32_t) {}

const wl_registry_listener registryListener{onGlobal, onGlobalRemoved};

// The process at the other end of the socket, which is the compositor itself.
QString peerProcessName(int socket)
{
    ucred peer{};
    socklen_t length = sizeof peer;
    if (getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0 || peer.pid <= 0)
        return {};
    QFile comm(QStringLiteral("/proc/%1/comm").arg(peer.pid));
    return comm.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(comm.readAll()).trimmed() : QString();
}

}  // namespace

std::optional<WaylandCompositor> probeWaylandCompositor(const QString& display)
{
    wl_display* connection = wl_display_connect(display.toLocal8Bit().constData());
    if (!connection)
        return std::nullopt;
    WaylandCompositor compositor;
    wl_registry* registry = wl_display_get_registry(connection);
    wl_registry_add_listener(registry, &registryListener, &compositor);
    const bool answered = wl_display_roundtrip(connection) >= 0;
    compositor.name = peerProcessName(wl_display_get_fd(connection));
    wl_registry_destroy(registry);
    wl_display_disconnect(connection);
    return answered ? std::optional(compositor) : std::nullopt;
}
