#pragma once

#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A dbus-daemon of the test's own that allows everything and activates nothing. As `session` it keeps
// one socket path for the process, as libdbus reads the session address once; so it can restart too.
class PrivateBus {
public:
    enum Role { own, session };
    explicit PrivateBus(Role role = own)
        : m_socket(socketFor(role))
        , m_address("unix:path=" + m_socket)  // without a guid it stays valid for a restarted daemon
    {
        if (role == session)
            qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toUtf8());
        start();
    }
    ~PrivateBus() { stop(); }

    bool isRunning() const { return m_daemon.state() == QProcess::Running; }
    bool start()
    {
        if (isRunning())
            return true;
        QFile::remove(m_socket);
        QFile config(m_socket + ".conf");
        if (!config.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        config.write(QString("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                             " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                             "<busconfig><type>session</type><listen>unix:path=%1</listen><auth>EXTERNAL</auth>\n"
                             "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                             "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n")
                         .arg(m_socket)
                         .toUtf8());
        config.close();
        m_daemon.setStandardErrorFile(QProcess::nullDevice());  // its complaint about fd limits is noise
        m_daemon.start("dbus-daemon", {"--config-file=" + config.fileName(), "--print-address", "--nofork"});
        if (!m_daemon.waitForStarted(15000))
            return false;
        // The daemon prints its address once it listens.
        const QDeadlineTimer deadline(15000);
        while (isRunning() && !m_daemon.canReadLine() && !deadline.hasExpired())
            m_daemon.waitForReadyRead(100);
        return isRunning() && m_daemon.canReadLine();
    }
    void stop()
    {
        if (m_daemon.state() == QProcess::NotRunning)
            return;
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(5000)) {
            m_daemon.kill();
            m_daemon.waitForFinished(5000);
        }
    }
    const QString& address() const { return m_address; }
    static QString sessionAddress() { return "unix:path=" + socketFor(session); }
    QDBusConnection connect(const QString& connectionName) const
    {
        // A name left over from an earlier test of the same process would hand back its dead bus.
        QDBusConnection::disconnectFromBus(connectionName);
        return QDBusConnection::connectToBus(m_address, connectionName);
    }

private:
    static QString socketFor(Role role)
    {
        static QTemporaryDir folder(QDir::tempPath() + "/zuvik-bus-XXXXXX");
        static int buses = 0;
        return folder.filePath(role == session ? QString("session") : QString("bus-%1").arg(++buses));
    }

    QString m_socket;
    QString m_address;
    QProcess m_daemon;
};
