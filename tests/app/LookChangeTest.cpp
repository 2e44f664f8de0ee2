// The built executable on a private X server: every look is drawn by the one process that started.
#include "TerminalRun.h"
#include <QDBusConnectionInterface>
#include <gtest/gtest.h>
#include <csignal>

using namespace std::chrono_literals;
using namespace terminal_run;

namespace {

const QString busName = QStringLiteral("org.orvane.Zuvik");

class LookChange : public ::testing::Test {
protected:
    void TearDown() override
    {
        // A copy that took the name over goes with the test too.
        if (const uint other = owner(); other != 0 && app && other != static_cast<uint>(app->process.processId()))
            ::kill(static_cast<pid_t>(other), SIGTERM);
        app.reset();
        QDBusConnection::disconnectFromBus(connection.name());
    }

    uint owner() const
    {
        QDBusConnectionInterface* names = connection.interface();
        return names && names->isServiceRegistered(busName) ? names->servicePid(busName).value() : 0;
    }

    // As a user would from another terminal.
    static int setStyle(const char* style) { return runZuvik({"set", "lyricStyle", style}).status; }

    PrivateBus bus{PrivateBus::session};
    QDBusConnection connection = QDBusConnection::connectToBus(PrivateBus::sessionAddress(),
                                                               QStringLiteral("look-change"));
    std::optional<RunningCopy> app;
};

TEST_F(LookChange, OneProcessDrawsEveryLookInTurn)
{
    ASSERT_TRUE(bus.isRunning() && setStyle("Ship") == 0);
    app.emplace(QStringLiteral("renderer: software"));
    ASSERT_TRUE(app->ready);
    const auto pid = static_cast<uint>(app->process.processId());
    ASSERT_TRUE(waitFor([&] { return owner() == pid; }, 30s));

    for (const char* style : {"Fisheye", "Visual", "Fisheye Visual"}) {
        EXPECT_EQ(setStyle(style), 0);
        // Long enough for the running copy to read the change, and for one that quits to be gone.
        EXPECT_FALSE(app->process.waitForFinished(4000)) << "gone after the change to " << style;
        EXPECT_EQ(owner(), pid) << "after the change to " << style;
    }
}

}  // namespace
