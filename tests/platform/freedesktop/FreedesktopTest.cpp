// The lock state and the screen-awake assertion against fake logind and ScreenSaver services.
#include "app/LockMonitor.h"
#include "app/ScreenAwake.h"
#include "platform/freedesktop/ScreenSaverInhibitor.h"
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
    SessionLockState state{systemBus.connect(QStringLiteral("client-system")),
                           sessionBus.connect(QStringLiteral("client-session"))};
    QList<bool> changes;
};

TEST_F(SessionLock, ChangesAreSeenOnceAndLoggedTheInitialStateIsNoneAndUnannouncedOnesComeWithTheTimer)
{
    services.setLockedHint(true, false);
    LockMonitor monitor(state);
    QObject::connect(&monitor, &LockMonitor::lockedChanged, [&](bool locked) { changes.append(locked); });
    LogLines log;
    EXPECT_TRUE(monitor.isLocked());
    QTest::qWait(1500);  // a re-check has run and found nothing new
    EXPECT_TRUE(changes.isEmpty());
    services.setLockedHint(false, true);  // the announcement and the timer both see it
    ASSERT_TRUE(QTest::qWaitFor([&] { return !monitor.isLocked(); }, 5000));
    QTest::qWait(1200);
    EXPECT_EQ(changes, QList<bool>{false});
    services.setLockedHint(true, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return monitor.isLocked(); }, 5000));
    EXPECT_EQ(changes, (QList<bool>{false, true}));
    EXPECT_EQ(log.newMessages(), (QStringList{"screen unlocked", "screen locked"}));
    services.setLockedHint(false, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !monitor.isLocked(); }, 5000));
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
}

const QString held = QStringLiteral("screen awake: assertion held");
const QString released = QStringLiteral("screen awake: assertion released");

class Awake : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(services.isServing()); }
    // The monitor's part, every half second.
    void sample(bool playing)
    {
        awake.setPlaying(playing);
        awake.update();
    }
    bool waitUntilHeld(bool isHeld)
    {
        return QTest::qWaitFor([&] { return awake.isHeld() == isHeld; }, 5000);
    }
    bool waitForCalls(int calls)
    {
        return QTest::qWaitFor([&] { return services.inhibitCalls() == calls; }, 5000);
    }

    PrivateBus systemBus;
    PrivateBus sessionBus;
    FakeFreedesktopServices services{systemBus.address(), sessionBus.address()};
    ScreenSaverInhibitor inhibitor{sessionBus.connect(QStringLiteral("awake-client"))};
    bool keepAwake = true;
    ScreenAwake awake{inhibitor, [this] { return keepAwake; }};
    LogLines log;
};

TEST_F(Awake, PlayingHoldsOneAssertionThatPauseAndTheSettingRelease)
{
    sample(false);
    QTest::qWait(100);
    EXPECT_EQ(services.inhibitCalls(), 0);
    sample(true);
    ASSERT_TRUE(waitUntilHeld(true));
    for (int i = 0; i < 5; ++i)
        sample(true);
    QTest::qWait(100);
    EXPECT_EQ(services.heldCookies().size(), 1);
    EXPECT_EQ(services.inhibitCalls(), 1);
    sample(false);
    EXPECT_FALSE(awake.isHeld());
    ASSERT_TRUE(QTest::qWaitFor([&] { return services.heldCookies().isEmpty(); }, 5000));
    sample(true);
    ASSERT_TRUE(waitUntilHeld(true));
    keepAwake = false;
    awake.update();  // what the setting's change handler does
    EXPECT_FALSE(awake.isHeld());
    keepAwake = true;
    awake.update();
    EXPECT_TRUE(waitUntilHeld(true));
    EXPECT_EQ(log.newMessages(), (QStringList{held, released, held, released, held}));
    sample(false);
    services.setReplyDelayMs(300);
    sample(true);
    sample(false);  // a stop while the request is in flight releases when it lands
    ASSERT_TRUE(waitForCalls(4));
    QTest::qWait(600);
    EXPECT_FALSE(awake.isHeld());
    EXPECT_TRUE(QTest::qWaitFor([&] { return services.heldCookies().isEmpty(); }, 5000));
}

TEST_F(Awake, RefusedAssertionIsRetriedOnEveryUpdateButLoggedOncePerStreak)
{
    services.setInhibitFails(true);
    for (int attempt = 1; attempt <= 3; ++attempt) {
        sample(true);
        ASSERT_TRUE(waitForCalls(attempt));
        QTest::qWait(50);  // the answer lands
    }
    EXPECT_FALSE(awake.isHeld());
    services.setInhibitFails(false);
    sample(true);
    ASSERT_TRUE(waitUntilHeld(true));
    sample(false);  // the streak after the next play is logged again
    services.setInhibitFails(true);
    sample(true);
    ASSERT_TRUE(waitForCalls(5));
    QTest::qWait(50);
    const QStringList messages = log.newMessages();
    ASSERT_EQ(messages.size(), 4) << messages.join(u'|').toStdString();
    EXPECT_TRUE(messages[0].startsWith("screen awake: assertion FAILED (") && messages[0].endsWith(u')'));
    EXPECT_EQ(messages.mid(1, 2), (QStringList{held, released}));
    EXPECT_TRUE(messages[3].startsWith("screen awake: assertion FAILED ("));
}

}  // namespace
