// The built executable on a private X server, whose OpenGL is Mesa's llvmpipe: Ship starts on the
// software renderer, and a change of look to one with the lens starts a new copy on OpenGL.
#include "EventLoopWait.h"
#include "LogLines.h"
#include "PrivateSessionBus.h"
#include "TerminalRun.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>

using namespace std::chrono_literals;
using namespace terminal_run;

namespace {

const QString zuvik = QStringLiteral(ZUVIK_EXECUTABLE);
const QString busName = QStringLiteral("org.orvane.Zuvik");

class RendererSwitching : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(bus.isRunning());
        ASSERT_EQ(runZuvik({QStringLiteral("set"), QStringLiteral("lyricStyle"), QStringLiteral("Ship")}).status, 0);
    }

    // Every copy is stopped with the test, also one a failed test left restarting: the name
    // must stay free for a while before the bus is given up.
    void TearDown() override
    {
        first.terminate();
        first.waitForFinished(10000);
        QDeadlineTimer freeSince(2s);
        const QDeadlineTimer limit(20s);
        while (!freeSince.hasExpired() && !limit.hasExpired()) {
            if (const uint pid = owner()) {
                ::kill(static_cast<pid_t>(pid), SIGTERM);
                freeSince.setRemainingTime(2s);
            }
            runEventLoopFor(100ms);
        }
        QDBusConnection::disconnectFromBus(connection.name());
    }

    uint owner() const
    {
        QDBusConnectionInterface* names = connection.interface();
        return names && names->isServiceRegistered(busName) ? names->servicePid(busName).value() : 0;
    }

    bool logged(const QString& text, int times = 1) const
    {
        return waitFor([&] { return log.newMessages().filter(text).size() >= times; }, 30s);
    }

    void startFirst(const QStringList& arguments)
    {
        first.setProcessEnvironment(privateBuses());
        first.start(zuvik, arguments);
        ASSERT_TRUE(first.waitForStarted());
        ASSERT_TRUE(waitFor([&] { return owner() == static_cast<uint>(first.processId()); }, 30s));
    }

    static void setStyle(const char* style)
    {
        ASSERT_EQ(runZuvik({QStringLiteral("set"), QStringLiteral("lyricStyle"), QString::fromUtf8(style)}).status, 0);
    }

    PrivateSessionBus bus;
    // Each test's bus is a new daemon: the process's shared connection would still be the last one's.
    QDBusConnection connection = QDBusConnection::connectToBus(
        PrivateSessionBus::address(),
        QStringLiteral("renderer-switch-%1").arg(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    LogLines log;
    QProcess first;
};

TEST_F(RendererSwitching, TheLensStartsACopyOnOpenGLAndShipGoesBackToSoftware)
{
    startFirst({QStringLiteral("--demo")});
    ASSERT_TRUE(logged(QStringLiteral("renderer: software for the Ship look")));

    setStyle("Fisheye");
    ASSERT_TRUE(logged(QStringLiteral("renderer: restarting with OpenGL")));
    ASSERT_TRUE(first.waitForFinished(15000));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);
    ASSERT_TRUE(logged(QStringLiteral("for the Fisheye look's lens"), 2))  // the restart's line, then the copy's
        << log.newMessages().join(u'\n').toStdString();
    uint second = 0;
    ASSERT_TRUE(waitFor([&] { return (second = owner()) != 0; }, 30s));
    EXPECT_NE(second, static_cast<uint>(first.processId()));

    setStyle("Visual");
    ASSERT_TRUE(logged(QStringLiteral("software for the Visual look"), 2));  // the restart's line, then the copy's
    ASSERT_TRUE(waitFor([&] { return owner() != 0 && owner() != second; }, 30s));
    // One copy runs: the one before it is gone.
    EXPECT_TRUE(waitFor([&] { return ::kill(static_cast<pid_t>(second), 0) != 0; }, 15s));
    EXPECT_TRUE(log.newMessages().filter(QStringLiteral("another Orvane instance is running")).isEmpty());
}

TEST_F(RendererSwitching, ALookGivenForTheRunKeepsItsRenderer)
{
    startFirst({QStringLiteral("--demo"), QStringLiteral("--style"), QStringLiteral("ship")});
    ASSERT_TRUE(logged(QStringLiteral("renderer: software for the Ship look")));
    setStyle("Fisheye");
    runEventLoopFor(3s);
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_TRUE(log.newMessages().filter(QStringLiteral("restarting")).isEmpty());
}

}  // namespace
