#include "foundation/DiagLog.h"
#include "app/ScreenAwake.h"
#include "platform/freedesktop/ScreenSaverInhibitor.h"

#include "FakeFreedesktopServices.h"
#include "PrivateBus.h"

#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class Awake : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(services.isServing());
        logStart = logText().size();
    }
    static QString logText()
    {
        QFile file(qEnvironmentVariable("XDG_STATE_HOME") + QStringLiteral("/Zuvik/Zuvik.log"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    QStringList newLogMessages()
    {
        DiagLog::shared().waitUntilWritten();
        QStringList messages;
        for (const QString& line : logText().mid(logStart).split(u'\n', Qt::SkipEmptyParts))
            messages.append(line.mid(14));
        return messages;
    }
    // Plays the monitor's part: report the playing state, then update; like every half second.
    void sample(bool playing)
    {
        awake.setPlaying(playing);
        awake.update();
    }
    bool waitUntilHeld(bool held) { return QTest::qWaitFor([&] { return awake.isHeld() == held; }, 5000); }

    PrivateBus systemBus;
    PrivateBus sessionBus;
    FakeFreedesktopServices services{systemBus.address(), sessionBus.address()};
    ScreenSaverInhibitor inhibitor{sessionBus.connect(QStringLiteral("awake-client"))};
    bool keepAwake = true;
    ScreenAwake awake{inhibitor, [this] { return keepAwake; }};
    qsizetype logStart = 0;
};

TEST_F(Awake, PlayingTakesOneAssertionAndRepeatedUpdatesAddNothing)
{
    sample(true);
    ASSERT_TRUE(waitUntilHeld(true));
    for (int i = 0; i < 5; ++i)
        sample(true);
    QTest::qWait(100);
    EXPECT_EQ(services.heldCookies().size(), 1);
    EXPECT_EQ(services.inhibitCalls(), 1);
    EXPECT_EQ(newLogMessages(), QStringList{QStringLiteral("screen awake: assertion held")});
}

TEST_F(Awake, PauseReleasesAndResumeTakesAgain)
{
    sample(true);
    ASSERT_TRUE(waitUntilHeld(true));
    sample(false);
    EXPECT_FALSE(awake.isHeld());
    ASSERT_TRUE(QTest::qWaitFor([&] { return services.heldCookies().isEmpty(); }, 5000));
    sample(true);
    ASSERT_TRUE(waitUntilHeld(true));
    EXPECT_EQ(newLogMessages(), (QStringList{"screen awake: assertion held", "screen awake: assertion released",
                                             "screen awake: assertion held"}));
}

TEST_F(Awake, SettingOffReleasesAndOnTakesAgainWhilePlaying)
{
    sample(true);
    ASSERT_TRUE(waitUntilHeld(true));
    keepAwake = false;
    awake.update();  // what the setting's change handler does
    EXPECT_FALSE(awake.isHeld());
    keepAwake = true;
    awake.update();
    EXPECT_TRUE(waitUntilHeld(true));
}

TEST_F(Awake, NothingPlayingMeansNoAssertionAndNoLogLine)
{
    sample(false);
    sample(false);
    QTest::qWait(100);
    EXPECT_EQ(services.inhibitCalls(), 0);
    EXPECT_TRUE(newLogMessages().isEmpty());
}

TEST_F(Awake, StopWhileTheRequestIsInFlightReleasesWhenItLands)
{
    services.setReplyDelayMs(300);
    sample(true);
    sample(false);  // before the answer
    ASSERT_TRUE(QTest::qWaitFor([&] { return services.inhibitCalls() == 1; }, 5000));
    QTest::qWait(600);
    EXPECT_FALSE(awake.isHeld());
    EXPECT_TRUE(QTest::qWaitFor([&] { return services.heldCookies().isEmpty(); }, 5000));
}

TEST_F(Awake, RefusedAssertionIsRetriedOnEveryUpdateButLoggedOncePerStreak)
{
    services.setInhibitFails(true);
    for (int attempt = 1; attempt <= 3; ++attempt) {
        sample(true);
        ASSERT_TRUE(QTest::qWaitFor([&] { return services.inhibitCalls() == attempt; }, 5000));
        QTest::qWait(50);  // the answer lands
    }
    EXPECT_FALSE(awake.isHeld());
    services.setInhibitFails(false);
    sample(true);
    ASSERT_TRUE(waitUntilHeld(true));
    sample(false);  // the streak after the next play is logged again
    services.setInhibitFails(true);
    sample(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return services.inhibitCalls() == 5; }, 5000));
    QTest::qWait(50);
    const QStringList messages = newLogMessages();
    ASSERT_EQ(messages.size(), 4) << messages.join(u'|').toStdString();
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("screen awake: assertion FAILED (")));
    EXPECT_TRUE(messages[0].endsWith(u')'));
    EXPECT_EQ(messages[1], QStringLiteral("screen awake: assertion held"));
    EXPECT_EQ(messages[2], QStringLiteral("screen awake: assertion released"));
    EXPECT_TRUE(messages[3].startsWith(QStringLiteral("screen awake: assertion FAILED (")));
}

}  // namespace
