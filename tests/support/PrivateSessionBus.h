#pragma once

#include <QProcess>
#include <QString>

// A dbus-daemon of the test's own, standing in for the session bus of this process: the
// constructor starts it and points DBUS_SESSION_BUS_ADDRESS at it, the destructor stops it. The
// developer's own bus is never touched. Every bus of a process listens on the same socket path,
// because libdbus reads the session address once per process; that also lets a test restart the
// bus under its clients.
class PrivateSessionBus {
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    bool isRunning() const { return m_daemon.state() == QProcess::Running; }
    bool start();
    void stop();
    static QString address();

private:
    QProcess m_daemon;
};
