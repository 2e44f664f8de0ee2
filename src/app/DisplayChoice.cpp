#include "app/DisplayChoice.h"

#include <QtGlobal>

namespace {

const QByteArray xcb = QByteArrayLiteral("xcb");
const QByteArray wayland = QByteArrayLiteral("wayland");

DisplayChoice problem(const QString& text) { return {{}, false, text, OverlayKind::none, {}}; }

DisplayChoice layerShell(const WaylandCompositor& compositor)
{
    const QString name = compositor.name.isEmpty() ? QStringLiteral("unknown compositor") : compositor.name;
    return {wayland, false, std::nullopt, OverlayKind::layerShell,
            QStringLiteral("wayland layer-shell (%1)").arg(name)};
}

bool offersLayerShell(const SessionFacts& facts) { return facts.compositor && facts.compositor->hasLayerShell; }

// QT_QPA_PLATFORM set by the user: Qt opens what it names, and the overlays follow.
DisplayChoice asQtIsTold(const DisplayEnvironment& environment, const SessionFacts& facts)
{
    if (!environment.qpaPlatform.startsWith(QLatin1String(wayland)))
        return {{},
                false,
                std::nullopt,
                OverlayKind::x11Windows,
                QStringLiteral("windows on the platform QT_QPA_PLATFORM names (%1)").arg(environment.qpaPlatform)};
    if (offersLayerShell(facts)) {
        DisplayChoice choice = layerShell(*facts.compositor);
        choice.platform.clear();  // "wayland-egl" and the like stay as the user set them
        return choice;
    }
    return {{},
            false,
            std::nullopt,
            OverlayKind::none,
            QStringLiteral("none — QT_QPA_PLATFORM asks for Wayland, and this compositor offers no layer-shell")};
}

DisplayChoice forcedWayland(const DisplayEnvironment& environment, const SessionFacts& facts)
{
    if (environment.waylandDisplay.isEmpty())
        return problem(QStringLiteral("--overlay wayland needs a Wayland session, and WAYLAND_DISPLAY is unset"));
    if (!facts.compositor)
        return problem(QStringLiteral("no Wayland compositor answers at \"%1\"").arg(environment.waylandDisplay));
    if (!facts.compositor->hasLayerShell)
        return problem(
            QStringLiteral("this compositor offers no layer-shell for --overlay wayland — try --overlay x11"));
    return layerShell(*facts.compositor);
}

DisplayChoice x11Windows(const DisplayEnvironment& environment, const SessionFacts& facts, const QString& reason)
{
    if (environment.x11Display.isEmpty())
        return problem(QStringLiteral("no X display to draw on — DISPLAY is unset"));
    if (!facts.x11Answers())
        return problem(QStringLiteral("cannot open the X display \"%1\"").arg(environment.x11Display));
    return {xcb, false, std::nullopt, OverlayKind::x11Windows, reason};
}

}  // namespace

DisplayEnvironment displayEnvironment()
{
    return {qEnvironmentVariable("QT_QPA_PLATFORM"), qEnvironmentVariable("DISPLAY"),
            qEnvironmentVariable("WAYLAND_DISPLAY")};
}

DisplayChoice overlayDisplay(const DisplayEnvironment& environment, OverlayRequest request, const SessionFacts& facts)
{
    if (!environment.qpaPlatform.isEmpty())
        return asQtIsTold(environment, facts);
    if (request == OverlayRequest::wayland)
        return forcedWayland(environment, facts);
    if (request == OverlayRequest::x11)
        return x11Windows(environment, facts, QStringLiteral("X11 windows (--overlay x11)"));
    if (offersLayerShell(facts))
        return layerShell(*facts.compositor);
    if (!facts.compositor) {
        if (environment.x11Display.isEmpty() && environment.waylandDisplay.isEmpty())
            return problem(QStringLiteral("no display to draw on — DISPLAY and WAYLAND_DISPLAY are unset"));
        if (environment.x11Display.isEmpty())
            return problem(QStringLiteral("no Wayland compositor answers at \"%1\", and DISPLAY is unset")
                               .arg(environment.waylandDisplay));
        return x11Windows(environment, facts, QStringLiteral("X11 windows"));
    }
    if (facts.x11Answers())
        return {xcb, false, std::nullopt, OverlayKind::x11Windows,
                QStringLiteral("XWayland — this compositor offers no layer-shell")};
    // A Wayland session without a layer shell or an X server: the tray still works.
    return {wayland, false, std::nullopt, OverlayKind::none,
            QStringLiteral("none — this compositor offers no layer-shell, and there is no X server to draw on "
                           "(DISPLAY is unset or does not answer); the status menu still works")};
}

DisplayChoice stillFrameDisplay(const DisplayEnvironment& environment, const std::function<bool()>& x11Answers)
{
    if (!environment.qpaPlatform.isEmpty())
        return {};
    if (!environment.x11Display.isEmpty() && x11Answers())
        return {xcb, false, std::nullopt, OverlayKind::x11Windows, {}};
    return offscreenDisplay();
}

DisplayChoice offscreenDisplay()
{
    return {QByteArrayLiteral("offscreen"), true, std::nullopt, OverlayKind::x11Windows, {}};
}

void applyDisplayChoice(const DisplayChoice& choice)
{
    if (!choice.platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", choice.platform);
    if (choice.softwareScene && qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        qputenv("QT_QUICK_BACKEND", "software");
}
