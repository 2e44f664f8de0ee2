#pragma once

#include "app/cli/AppOptions.h"
#include "platform/wayland/WaylandProbe.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

// What the overlays are drawn as.
enum class OverlayKind {
    x11Windows,  // windows kept on top, through XWayland under a Wayland session
    layerShell,  // surfaces on a Wayland compositor's overlay layer
    none,  // nothing to draw on; the status menu still works
};

// Which windowing platform a run that draws asks Qt for, decided from the environment before Qt
// loads one: without a display Qt would abort, so a run that cannot draw says so instead.
struct DisplayChoice {
    QByteArray platform;  // for QT_QPA_PLATFORM; empty: leave Qt's own choice
    bool softwareScene = false;  // the offscreen platform has no OpenGL: Qt Quick draws on the CPU
    std::optional<QString> problem;  // why nothing can be drawn, for standard error after "zuvik: "
    OverlayKind overlays = OverlayKind::x11Windows;
    QString reason;  // for the log, after "overlay: "
};

struct DisplayEnvironment {
    QString qpaPlatform;  // QT_QPA_PLATFORM: a user's explicit choice always holds
    QString x11Display;  // DISPLAY
    QString waylandDisplay;  // WAYLAND_DISPLAY
};

// What was found out about the session before choosing.
struct SessionFacts {
    std::optional<WaylandCompositor> compositor;  // nothing: no compositor answers at WAYLAND_DISPLAY
    // Whether an X server answers at DISPLAY; asked only where the choice rests on it, since
    // connecting to it can start XWayland in a session that has no use for it.
    std::function<bool()> x11Answers;
};

DisplayEnvironment displayEnvironment();

// The overlays: a compositor's layer shell where it has one, else X11 windows (through XWayland
// under a Wayland session), unless the user forces one way; no display is a problem.
DisplayChoice overlayDisplay(const DisplayEnvironment& environment, OverlayRequest request, const SessionFacts& facts);
// A still frame is drawn into a file: through X11 where it answers, else offscreen.
DisplayChoice stillFrameDisplay(const DisplayEnvironment& environment, const std::function<bool()>& x11Answers);
DisplayChoice offscreenDisplay();
// Sets the environment Qt reads for `choice`.
void applyDisplayChoice(const DisplayChoice& choice);
