#include "PrivateSessionBus.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QTemporaryDir& busFolder()
{
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/zuvik-bus-XXXXXX"));
    return folder;
}

QString socketPath()
{
    return busFolder().filePath(QStringLiteral("bus"));
}

// A session bus that allows everything and activates nothing: no service folders, so no call
// can start a program installed on the machine.
QString writeConfig()
{
    const QString path = busFolder().filePath(QStringLiteral("bus.conf"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(QStringLiteral(
                       "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                       " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                       "<busconfig>\n"
                       "  <type>session</type>\n"
                       "  <listen>unix:path=%1</listen>\n"
                       "  <auth>EXTERNAL</auth>\n"
                       "  <policy context=\"default\">\n"
                       "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                       "    <allow eavesdrop=\"true\"/>\n"
                       "    <allow own=\"*\"/>\n"
                       "  </policy>\n"
                       "</busconfig>\n")
                       .arg(socketPath())
                       .toUtf8());
    }
    return path;
}

}  // namespace

PrivateSessionBus::PrivateSessionBus()
{
    // Without a guid in it, the address stays valid for a restarted daemon.
    qputenv("DBUS_SESSION_BUS_ADDRESS", address().toUtf8());
    start();
}

PrivateSessionBus::~PrivateSessionBus()
{
    stop();
}

QString PrivateSessionBus::address()
{
    return QStringLiteral("unix:path=") + socketPath();
}

bool PrivateSessionBus::start()
{
    if (isRunning())
        return true;
    QFile::remove(socketPath());
    m_daemon.setStandardErrorFile(QProcess::nullDevice());  // its complaint about fd limits is noise
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--config-file=") + writeConfig(), QStringLiteral("--print-address"),
                    QStringLiteral("--nofork")});
    if (!m_daemon.waitForStarted(15000))
        return false;
    // The daemon prints its address once it listens.
    const QDeadlineTimer deadline(15000);
    while (isRunning() && !m_daemon.canReadLine() && !deadline.hasExpired())
        m_daemon.waitForReadyRead(100);
    return isRunning() && m_daemon.canReadLine();
}

void PrivateSessionBus::stop()
{
    if (m_daemon.state() == QProcess::NotRunning)
        return;
    m_daemon.terminate();
    if (!m_daemon.waitForFinished(5000)) {
        m_daemon.kill();
        m_daemon.waitForFinished(5000);
    }
}
