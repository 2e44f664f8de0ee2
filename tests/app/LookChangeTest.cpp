// The built executable on a private X server: every look is drawn by the one process that started.
#include "EventLoopWait.h"
#include "LogLines.h"
#include "PrivateBus.h"
#include "TerminalRun.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>

using namespace std::chrono_literals;
using namespace terminal_run;

namespace {

const QString zuvik = QStringLiteral(ZUVIK_EXECUTABLE);
const QString busName = QStringLiteral("org.orvane.Zuvik");

// The processes running the built executable on this test's session bus (other tests may run
// copies of their own at the same time).
QList<qint64> runningCopies()
{
    const QString executable = QFileInfo(zuvik).canonicalFilePath();
    const QByteArray onOurBus = "DBUS_SESSION_BUS_ADDRESS=" + PrivateBus::sessionAddress().toUtf8();
    QList<qint64> copies;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid || QFileInfo(QStringLiteral("/proc/%1/exe").arg(entry)).canonicalFilePath() != executable)
            continue;
        QFile environment(QStringLiteral("/proc/%1/environ").arg(entry));
        if (environment.open(QIODevice::ReadOnly) && environment.readAll().split('\0').contains(onOurBus))
            copies.append(pid);
    }
    return copies;
}

class LookChange : public ::testing::Test {
protected:
    void TearDown() override
    {
        // A copy that took the name over goes with the test too.
        if (const uint other = owner(); other != 0 && other != static_cast<uint>(app.processId()))
            ::kill(static_cast<pid_t>(other), SIGTERM);
        app.terminate();
        app.waitForFinished(10000);
        QDBusConnection::disconnectFromBus(connection.name());
    }

    uint owner() const
    {
        QDBusConnectionInterface* names = connection.interface();
        return names && names->isServiceRegistered(busName) ? names->servicePid(busName).value() : 0;
    }

    // As a user would from another terminal: a command without a display.
    static int setStyle(const char* style)
    {
        QProcessEnvironment environment = privateBuses();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        return runZuvik({QStringLiteral("set"), QStringLiteral("lyricStyle"), QString::fromUtf8(style)}, environment).status;
    }

    PrivateBus bus{PrivateBus::session};
    QDBusConnection connection = QDBusConnection::connectToBus(PrivateBus::sessionAddress(), QStringLiteral("look-change"));
    LogLines log;
    QProcess app;
};

TEST_F(LookChange, OneProcessDrawsEveryLookInTurn)
{
    ASSERT_TRUE(bus.isRunning() && setStyle("Ship") == 0);
    app.setProcessEnvironment(privateBuses());
    app.start(zuvik, {QStringLiteral("--demo")});
    ASSERT_TRUE(app.waitForStarted());
    const auto pid = static_cast<uint>(app.processId());
    ASSERT_TRUE(waitFor([&] { return owner() == pid; }, 30s));
    ASSERT_TRUE(waitFor([&] { return !log.newMessages().filter(QStringLiteral("renderer: software")).isEmpty(); }, 30s));

    for (const char* style : {"Fisheye", "Visual", "Fisheye Visual"}) {
        EXPECT_EQ(setStyle(style), 0);
        // Long enough for the running copy to read the change, and for one that quits to be gone.
        EXPECT_FALSE(app.waitForFinished(4000)) << "gone after the change to " << style;
        EXPECT_EQ(owner(), pid) << "after the change to " << style;
    }
    EXPECT_EQ(runningCopies(), QList<qint64>{app.processId()});
}

}  // namespace
