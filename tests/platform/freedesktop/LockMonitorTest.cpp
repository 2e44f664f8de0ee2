#include "app/LockMonitor.h"
#include "platform/freedesktop/SessionLockState.h"

#include "FakeFreedesktopServices.h"
#include "LogLines.h"
#include "PrivateBus.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

class SessionLock : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(services.isServing()); }

    PrivateBus systemBus;
    PrivateBus sessionBus;
    FakeFreedesktopServices services{systemBus.address(), sessionBus.address()};
    SessionLockState state{systemBus.connect(QStringLiteral("client-system")), sessionBus.connect(QStringLiteral("client-session"))};
    QList<bool> changes;
};

TEST_F(SessionLock, EitherServiceSaysLocked)
{
    EXPECT_FALSE(state.readNow());
    services.setLockedHint(true, false);
    EXPECT_TRUE(state.readNow());
    services.setLockedHint(false, false);
    services.setScreenSaverActive(true, false);
    EXPECT_TRUE(state.readNow());
}

TEST_F(SessionLock, InitialStateIsNotReportedAsAChange)
{
    services.setLockedHint(true, false);
    LockMonitor monitor(state);
    QObject::connect(&monitor, &LockMonitor::lockedChanged, [&](bool locked) { changes.append(locked); });
    EXPECT_TRUE(monitor.isLocked());
    QTest::qWait(1500);  // a re-check has run and found nothing new
    EXPECT_TRUE(changes.isEmpty());
}

TEST_F(SessionLock, AnnouncedLockIsSeenOnceAndLoggedAndAnUnannouncedOneByTheTimer)
{
    LockMonitor monitor(state);
    QObject::connect(&monitor, &LockMonitor::lockedChanged, [&](bool locked) { changes.append(locked); });
    LogLines log;
    services.setLockedHint(true, true);  // the announcement and the timer both see it
    ASSERT_TRUE(QTest::qWaitFor([&] { return monitor.isLocked(); }, 5000));
    QTest::qWait(1200);
    EXPECT_EQ(changes, QList<bool>{true});
    services.setLockedHint(false, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !monitor.isLocked(); }, 5000));
    EXPECT_EQ(changes, (QList<bool>{true, false}));
    EXPECT_EQ(log.newMessages(), (QStringList{"screen locked", "screen unlocked"}));
    services.setScreenSaverActive(true, false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return monitor.isLocked(); }, 3000));
}

TEST(SessionLockWithoutServices, CountsAsUnlocked)
{
    PrivateBus bus;
    SessionLockState state(bus.connect(QStringLiteral("empty-system")), bus.connect(QStringLiteral("empty-session")));
    EXPECT_FALSE(state.readNow());
    std::optional<bool> locked;
    state.read([&](bool l) { locked = l; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return locked.has_value(); }, 5000));
    EXPECT_FALSE(*locked);
    const QString nowhere = QStringLiteral("unix:path=/nonexistent/bus");
    SessionLockState none(QDBusConnection::connectToBus(nowhere, QStringLiteral("none-1")),
                          QDBusConnection::connectToBus(nowhere, QStringLiteral("none-2")));
    EXPECT_FALSE(none.readNow());
}

}  // namespace
