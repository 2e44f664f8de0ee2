#include "foundation/DiagLog.h"
#include "app/LockMonitor.h"
#include "platform/freedesktop/SessionLockState.h"

#include "FakeFreedesktopServices.h"
#include "PrivateBus.h"

#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QString newLogText(qsizetype from)
{
    DiagLog::shared().waitUntilWritten();
    QFile file(qEnvironmentVariable("XDG_STATE_HOME") + QStringLiteral("/Zuvik/Zuvik.log"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).mid(from) : QString();
}

class SessionLock : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(systemBus.isRunning() && sessionBus.isRunning());
        ASSERT_TRUE(services.isServing());
    }
    std::unique_ptr<SessionLockState> lockState()
    {
        return std::make_unique<SessionLockState>(systemBus.connect(QStringLiteral("client-system")),
                                                  sessionBus.connect(QStringLiteral("client-session")));
    }

    PrivateBus systemBus;
    PrivateBus sessionBus;
    FakeFreedesktopServices services{systemBus.address(), sessionBus.address()};
};

TEST_F(SessionLock, EitherServiceSaysLocked)
{
    const auto state = lockState();
    EXPECT_FALSE(state->readNow());
    services.setLockedHint(true, false);
    EXPECT_TRUE(state->readNow());
    services.setLockedHint(false, false);
    services.setScreenSaverActive(true, false);
    EXPECT_TRUE(state->readNow());
}

TEST_F(SessionLock, InitialStateIsNotReportedAsAChange)
{
    services.setLockedHint(true, false);
    const auto state = lockState();
    LockMonitor monitor(*state);
    QList<bool> changes;
    QObject::connect(&monitor, &LockMonitor::lockedChanged, [&](bool locked) { changes.append(locked); });
    EXPECT_TRUE(monitor.isLocked());
    QTest::qWait(1500);  // a re-check has run and found nothing new
    EXPECT_TRUE(changes.isEmpty());
}

TEST_F(SessionLock, AnnouncedLockIsSeenOnceAndLogged)
{
    const auto state = lockState();
    LockMonitor monitor(*state);
    QList<bool> changes;
    QObject::connect(&monitor, &LockMonitor::lockedChanged, [&](bool locked) { changes.append(locked); });
    const qsizetype logStart = newLogText(0).size();

    services.setLockedHint(true, true);  // the announcement and the timer both see it
    ASSERT_TRUE(QTest::qWaitFor([&] { return monitor.isLocked(); }, 5000));
    QTest::qWait(1200);
    EXPECT_EQ(changes, QList<bool>{true});

    services.setLockedHint(false, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !monitor.isLocked(); }, 5000));
    EXPECT_EQ(changes, (QList<bool>{true, false}));
    const QString log = newLogText(logStart);
    EXPECT_EQ(log.count(QStringLiteral("  screen locked\n")), 1) << log.toStdString();
    EXPECT_EQ(log.count(QStringLiteral("  screen unlocked\n")), 1) << log.toStdString();
}

TEST_F(SessionLock, UnannouncedChangeIsCaughtByTheTimerWithinASecondOrSo)
{
    const auto state = lockState();
    LockMonitor monitor(*state);
    services.setScreenSaverActive(true, false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return monitor.isLocked(); }, 3000));
}

TEST(SessionLockWithoutServices, CountsAsUnlocked)
{
    PrivateBus systemBus;
    PrivateBus sessionBus;
    SessionLockState state(systemBus.connect(QStringLiteral("empty-system")),
                           sessionBus.connect(QStringLiteral("empty-session")));
    EXPECT_FALSE(state.readNow());
    bool answered = false;
    bool locked = true;
    state.read([&](bool l) {
        answered = true;
        locked = l;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return answered; }, 5000));
    EXPECT_FALSE(locked);
}

TEST(SessionLockWithoutBuses, CountsAsUnlocked)
{
    SessionLockState state(QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("none-1")),
                           QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("none-2")));
    EXPECT_FALSE(state.readNow());
}

}  // namespace
