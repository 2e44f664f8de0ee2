#include "app/DisplayChoice.h"

#include <QtGlobal>

DisplayEnvironment displayEnvironment()
{
    return {qEnvironmentVariable("QT_QPA_PLATFORM"), qEnvironmentVariable("DISPLAY"),
            qEnvironmentVariable("WAYLAND_DISPLAY")};
}

DisplayChoice overlayDisplay(const DisplayEnvironment& environment)
{
    if (!environment.qpaPlatform.isEmpty())
        return {};
    if (!environment.x11Display.isEmpty())
        return {QByteArrayLiteral("xcb")};
    if (!environment.waylandDisplay.isEmpty())
        return {{},
                false,
                QStringLiteral("no X display to draw on — the overlays are X11 windows, and DISPLAY is unset "
                               "(is XWayland running?)")};
    return {{}, false, QStringLiteral("no display to draw on — DISPLAY and WAYLAND_DISPLAY are unset")};
}

DisplayChoice stillFrameDisplay(const DisplayEnvironment& environment)
{
    const DisplayChoice overlay = overlayDisplay(environment);
    return overlay.problem ? offscreenDisplay() : overlay;
}

DisplayChoice offscreenDisplay() { return {QByteArrayLiteral("offscreen"), true, std::nullopt}; }

void applyDisplayChoice(const DisplayChoice& choice)
{
    if (!choice.platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", choice.platform);
    if (choice.softwareScene && qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        qputenv("QT_QUICK_BACKEND", "software");
}
