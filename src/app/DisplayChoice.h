#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Which windowing platform a run that draws asks Qt for, decided from the environment before Qt
// loads one: without a display Qt would abort, so a run that cannot draw says so instead.
struct DisplayChoice {
    QByteArray platform;  // for QT_QPA_PLATFORM; empty: leave Qt's own choice
    bool softwareScene = false;  // the offscreen platform has no OpenGL: Qt Quick draws on the CPU
    std::optional<QString> problem;  // why nothing can be drawn, for standard error after "zuvik: "
};

struct DisplayEnvironment {
    QString qpaPlatform;  // QT_QPA_PLATFORM: a user's explicit choice always holds
    QString x11Display;  // DISPLAY
    QString waylandDisplay;  // WAYLAND_DISPLAY
};

DisplayEnvironment displayEnvironment();

// The overlays: X11 windows, through XWayland under a Wayland session; no display is a problem.
DisplayChoice overlayDisplay(const DisplayEnvironment& environment);
// A still frame is drawn into a file: without a display it is drawn offscreen.
DisplayChoice stillFrameDisplay(const DisplayEnvironment& environment);
DisplayChoice offscreenDisplay();
// Sets the environment Qt reads for `choice`.
void applyDisplayChoice(const DisplayChoice& choice);
