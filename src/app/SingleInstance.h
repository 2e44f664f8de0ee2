#pragma once

#include <QDBusConnection>
#include <QString>

// Makes sure one copy of the application runs per session: the copy that owns the bus name is the
// one that runs. The name is held for the connection's life and so goes away with the process.
class SingleInstance {
public:
    static inline const QString busName = QStringLiteral("org.orvane.Zuvik");

    enum class Claim {
        first,  // this process now owns the name
        anotherIsRunning,  // the name belongs to another running copy
        noSessionBus,  // cannot tell; run anyway rather than refuse to start
    };

    explicit SingleInstance(QDBusConnection bus = QDBusConnection::sessionBus());
    Claim claim();

private:
    QDBusConnection m_bus;
};
