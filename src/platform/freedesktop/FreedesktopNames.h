#pragma once

#include <QString>

// The freedesktop D-Bus services the application uses for the lock state and display sleep.
namespace freedesktop_names {

inline const QString screenSaverService = QStringLiteral("org.freedesktop.ScreenSaver");
inline const QString screenSaverPath = QStringLiteral("/org/freedesktop/ScreenSaver");
inline const QString screenSaverInterface = QStringLiteral("org.freedesktop.ScreenSaver");

inline const QString logindService = QStringLiteral("org.freedesktop.login1");
// logind's alias for the caller's own session (or, outside one, the user's graphical session).
inline const QString logindOwnSessionPath = QStringLiteral("/org/freedesktop/login1/session/auto");
inline const QString logindSessionInterface = QStringLiteral("org.freedesktop.login1.Session");

inline const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

// A service that does not answer within this is treated as absent for that call.
constexpr int busCallTimeoutMs = 1000;

}  // namespace freedesktop_names
