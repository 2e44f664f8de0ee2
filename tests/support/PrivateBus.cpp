#include "PrivateBus.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QString socketFor(PrivateBus::Role role)
{
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/zuvik-bus-XXXXXX"));
    static int buses = 0;
    return folder.filePath(role == PrivateBus::session ? QStringLiteral("session")
                                                       : QStringLiteral("bus-%1").arg(++buses));
}

}  // namespace

PrivateBus::PrivateBus(Role role)
    : m_socket(socketFor(role))
    , m_address(QStringLiteral("unix:path=") + m_socket)  // without a guid it stays valid for a restarted daemon
{
    if (role == session)
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toUtf8());
    start();
}

PrivateBus::~PrivateBus() { stop(); }

QString PrivateBus::sessionAddress() { return QStringLiteral("unix:path=") + socketFor(session); }

bool PrivateBus::start()
{
    if (isRunning())
        return true;
    QFile::remove(m_socket);
    const QString config = m_socket + QStringLiteral(".conf");
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write(QStringLiteral("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                              " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                              "<busconfig><type>session</type><listen>unix:path=%1</listen><auth>EXTERNAL</auth>\n"
                              "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                              "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n")
                   .arg(m_socket)
                   .toUtf8());
    file.close();
    m_daemon.setStandardErrorFile(QProcess::nullDevice());  // its complaint about fd limits is noise
    m_daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--config-file=") + config,
                                                   QStringLiteral("--print-address"), QStringLiteral("--nofork")});
    if (!m_daemon.waitForStarted(15000))
        return false;
    // The daemon prints its address once it listens.
    const QDeadlineTimer deadline(15000);
    while (isRunning() && !m_daemon.canReadLine() && !deadline.hasExpired())
        m_daemon.waitForReadyRead(100);
    return isRunning() && m_daemon.canReadLine();
}

void PrivateBus::stop()
{
    if (m_daemon.state() == QProcess::NotRunning)
        return;
    m_daemon.terminate();
    if (!m_daemon.waitForFinished(5000)) {
        m_daemon.kill();
        m_daemon.waitForFinished(5000);
    }
}

QDBusConnection PrivateBus::connect(const QString& connectionName) const
{
    // A name left over from an earlier test of the same process would hand back its dead bus.
    QDBusConnection::disconnectFromBus(connectionName);
    return QDBusConnection::connectToBus(m_address, connectionName);
}
