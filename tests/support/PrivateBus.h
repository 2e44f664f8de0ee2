#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>

// A dbus-daemon of the test's own that allows everything and activates nothing (its own
// configuration, with no service folders), so that no test touches the developer's buses or
// starts a program installed on the machine. Started by the constructor, stopped by the destructor.
// As `session`, it stands in for this process's session bus: DBUS_SESSION_BUS_ADDRESS points at
// it, and it listens on one socket path for the whole process, because libdbus reads the session
// address once per process; that also lets a test restart the bus under its clients.
class PrivateBus {
public:
    enum Role { own, session };
    explicit PrivateBus(Role role = own);
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool isRunning() const { return m_daemon.state() == QProcess::Running; }
    bool start();
    void stop();
    const QString& address() const { return m_address; }
    // The address of the process's session bus.
    static QString sessionAddress();
    // A new connection to this bus under a name of the caller's choice.
    QDBusConnection connect(const QString& connectionName) const;

private:
    QString m_socket;
    QString m_address;
    QProcess m_daemon;
};
