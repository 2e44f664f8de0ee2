#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>

// A dbus-daemon of the test's own, so that no test touches the developer's session or system bus.
// Stopped (killed) when the object goes away.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool isRunning() const { return !m_address.isEmpty(); }
    const QString& address() const { return m_address; }
    // A new connection to this bus under a name of the caller's choice.
    QDBusConnection connect(const QString& connectionName) const;

private:
    QProcess m_daemon;
    QString m_address;
};
