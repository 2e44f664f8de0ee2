#pragma once

#include <QString>

// What a screen tells about itself that stays the same across runs and reconnections.
struct ScreenDescription {
    QString connectorName;  // "DP-1", "HDMI-A-2"; X11 output names
    QString manufacturer;
    QString model;
    QString serialNumber;  // from the EDID, empty for many virtual screens
};

// A 32-bit display ID for a screen, stable while the same monitor is connected: FNV-1a over the
// monitor's manufacturer, model and EDID serial when it has a serial (so it follows the monitor
// from port to port), else over the connector name too. Zero is never returned, so that it can
// mean "no ID".
quint32 displayIdFor(const ScreenDescription& screen);
