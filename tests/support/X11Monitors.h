#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

// Monitors on the private X server, made and removed through RandR as a user plugging displays in
// would; Qt sees each as a screen.
namespace x11_monitors {

inline const QString left = QStringLiteral("LEFT");
inline const QString right = QStringLiteral("RIGHT");

// A monitor over part of the server's one output; `output` "none" for one of its own.
bool setMonitor(const QString& name, const QRect& geometry, const QString& output = QStringLiteral("none"));
bool deleteMonitor(const QString& name);
// Whether Qt's screens are exactly these, by name.
bool screensAre(const QStringList& names);
// Two side-by-side monitors instead of the server's one screen, LEFT taking over the output and
// RIGHT standing alone; waits until Qt has both.
bool splitIntoTwoMonitors();

}  // namespace x11_monitors
