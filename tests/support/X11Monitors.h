#pragma once

#include "EventLoopWait.h"
#include "PrivateX11Server.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>

// Monitors on the private X server, made and removed through RandR; Qt sees each as a screen.
namespace x11_monitors {

inline const QString left = QStringLiteral("LEFT");
inline const QString right = QStringLiteral("RIGHT");

// A monitor over part of the server's one output; `output` "none" for one of its own.
inline bool setMonitor(const QString& name, const QRect& geometry, const QString& output = QStringLiteral("none"))
{
    const QString spec = QString::asprintf("%d/300x%d/200+%d+%d", geometry.width(), geometry.height(), geometry.x(),
                                           geometry.y());
    return runX11Tool("xrandr", {"--setmonitor", name, spec, output}).has_value();
}
inline bool deleteMonitor(const QString& name) { return runX11Tool("xrandr", {"--delmonitor", name}).has_value(); }
// Whether Qt's screens are exactly these, by name.
inline bool screensAre(QStringList names)
{
    QStringList present;
    for (const QScreen* screen : QGuiApplication::screens())
        present.append(screen->name());
    present.sort();
    names.sort();
    return present == names;
}
// LEFT takes over the output and RIGHT stands alone beside it; waits until Qt has both.
inline bool splitIntoTwoMonitors()
{
    if (screensAre({left, right}))
        return true;  // split by an earlier test of this process
    if (!setMonitor(left, {0, 0, 960, 1080}, "screen") || !setMonitor(right, {960, 0, 960, 1080}))
        return false;
    return waitFor([] { return screensAre({left, right}); });
}

}  // namespace x11_monitors
