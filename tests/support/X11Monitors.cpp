#include "X11Monitors.h"

#include "EventLoopWait.h"
#include "PrivateX11Server.h"

#include <QGuiApplication>
#include <QScreen>

namespace x11_monitors {

bool setMonitor(const QString& name, const QRect& geometry, const QString& output)
{
    const QString spec = QStringLiteral("%1/300x%2/200+%3+%4")
                             .arg(geometry.width())
                             .arg(geometry.height())
                             .arg(geometry.x())
                             .arg(geometry.y());
    return runX11Tool(QStringLiteral("xrandr"), {QStringLiteral("--setmonitor"), name, spec, output}).has_value();
}

bool deleteMonitor(const QString& name)
{
    return runX11Tool(QStringLiteral("xrandr"), {QStringLiteral("--delmonitor"), name}).has_value();
}

bool screensAre(const QStringList& names)
{
    QStringList present;
    for (const QScreen* screen : QGuiApplication::screens())
        present.append(screen->name());
    present.sort();
    QStringList wanted = names;
    wanted.sort();
    return present == wanted;
}

bool splitIntoTwoMonitors()
{
    if (screensAre({left, right}))
        return true;  // split by an earlier test of this process
    if (!setMonitor(left, {0, 0, 960, 1080}, QStringLiteral("screen")) || !setMonitor(right, {960, 0, 960, 1080}))
        return false;
    return waitFor([] { return screensAre({left, right}); });
}

}  // namespace x11_monitors
