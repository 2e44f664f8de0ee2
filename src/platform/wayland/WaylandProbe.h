#pragma once

#include <QString>

#include <optional>

// What a Wayland compositor offers the overlay, asked over a short connection of its own before
// Qt picks its platform.
struct WaylandCompositor {
    QString name;  // the compositor's process name ("sway"), empty when it cannot be told
    bool hasLayerShell = false;  // zwlr_layer_shell_v1
};

// Nothing when no compositor answers at `display` (a WAYLAND_DISPLAY value).
std::optional<WaylandCompositor> probeWaylandCompositor(const QString& display);
