// The MPRIS backend's failures: slow players, error answers, a missing or restarted bus.
#include "FakePlayerProcess.h"
#include "PlaybackPrinting.h"
#include "PrivateSessionBus.h"
#include "QuerySupport.h"

#include "platform/mpris/MprisScriptHost.h"
#include "platform/mpris/SpotifyPositionFallback.h"

#include <QDBusError>
#include <QDateTime>
#include <QThread>

#include <gtest/gtest.h>

namespace {

std::unique_ptr<PlayerScriptHost> mprisHost()
{
    return std::make_unique<MprisScriptHost>();
}

QString failureLine(QDBusError::ErrorType type, const QString& message)
{
    return QStringLiteral("player query: D-Bus failed (%1): %2").arg(QDBusError::errorString(type), message);
}

class MprisHost : public ::testing::Test {
protected:
    WithQtApplication app;
    PrivateSessionBus bus;
    LogLines log;
};

}  // namespace

TEST_F(MprisHost, APlayerTooSlowToAnswerFailsTheRunOncePerStreak)
{
    FakePlayerProcess player("org.mpris.MediaPlayer2.vlc");
    ASSERT_TRUE(player.isReady());
    player.play("Song", "Band", 200000000);
    player.setReplyDelay(MprisScriptHost::callTimeoutMs + 500);
    PlayerQuery query(&mprisHost);
    EXPECT_EQ(runQuery(query), std::nullopt);
    EXPECT_EQ(runQuery(query), std::nullopt);
    player.setReplyDelay(0);
    const std::optional<PlayerSample> sample = runQuery(query);
    ASSERT_TRUE(sample);
    EXPECT_EQ(sample->title, "Song");
    const QStringList lines = log.lines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].startsWith(failureLine(QDBusError::NoReply, {})))
        << lines[0].toStdString();
}

TEST_F(MprisHost, AnErrorAnswerIsAnExecutionError)
{
    FakePlayerProcess player("org.mpris.MediaPlayer2.vlc");
    ASSERT_TRUE(player.isReady());
    player.setFailure("org.freedesktop.DBus.Error.Failed", "player broke");
    PlayerQuery query(&mprisHost);
    EXPECT_EQ(runQuery(query), std::nullopt);
    EXPECT_EQ(log.lines(), QStringList{failureLine(QDBusError::Failed, "player broke")});
}

TEST_F(MprisHost, WithoutABusEveryRunFailsUntilOneAppears)
{
    bus.stop();
    PlayerQuery query(&mprisHost);
    EXPECT_EQ(runQuery(query), std::nullopt);
    EXPECT_EQ(runQuery(query), std::nullopt);
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines()[0].startsWith("player query: D-Bus failed (")) << log.lines()[0].toStdString();

    ASSERT_TRUE(bus.start());
    FakePlayerProcess player("org.mpris.MediaPlayer2.vlc");
    ASSERT_TRUE(player.isReady());
    player.play("Song", "Band", 200000000);
    EXPECT_TRUE(waitUntil([&] { return runQuery(query).has_value(); }));
}

TEST_F(MprisHost, ARestartedBusIsReconnected)
{
    PlayerQuery query(&mprisHost);
    {
        FakePlayerProcess player("org.mpris.MediaPlayer2.vlc");
        ASSERT_TRUE(player.isReady());
        player.play("Before", "Band", 200000000);
        ASSERT_TRUE(runQuery(query));
    }
    bus.stop();
    ASSERT_TRUE(bus.start());
    FakePlayerProcess player("org.mpris.MediaPlayer2.vlc");
    ASSERT_TRUE(player.isReady());
    player.play("After", "Band", 200000000);
    std::optional<PlayerSample> sample;
    EXPECT_TRUE(waitUntil([&] { return (sample = runQuery(query)).has_value(); }));
    EXPECT_EQ(sample ? sample->title : QString(), "After");
}

TEST_F(MprisHost, OnlyTheFollowedPlayersSeeksAreReported)
{
    FakePlayerProcess vlc("org.mpris.MediaPlayer2.vlc");
    FakePlayerProcess mpv("org.mpris.MediaPlayer2.mpv");
    ASSERT_TRUE(vlc.isReady() && mpv.isReady());
    vlc.play("Followed", "Band", 200000000);
    mpv.play("Other", "Band", 200000000);
    mpv.setStatus("Paused");
    int seeks = 0;
    MprisScriptHost host;
    host.setSeekListener([&seeks] { ++seeks; });
    ASSERT_TRUE(std::get<QString>(host.run()).contains(QStringLiteral("Followed")));

    mpv.emitSeeked(5000000);
    vlc.emitSeeked(7000000);
    ASSERT_TRUE(waitUntil([&] { return seeks >= 1; }));
    // The mpv signal was sent first, so it has been delivered by now too.
    EXPECT_EQ(seeks, 1);

    vlc.setStatus("Stopped");
    host.run();  // now follows the paused mpv
    vlc.emitSeeked(9000000);
    mpv.emitSeeked(1000000);
    ASSERT_TRUE(waitUntil([&] { return seeks >= 2; }));
    EXPECT_EQ(seeks, 2);
}

// mpv without an audio device moves its Position in steps of about 50 ms: a sample must give the
// player's position at the instant it is dated to, not the value of a step that began up to 50 ms
// earlier, on whatever phase of the step the poll lands.
TEST_F(MprisHost, APositionMovingInStepsIsTakenWhereItJustMoved)
{
    FakePlayerProcess player("org.mpris.MediaPlayer2.mpv");
    ASSERT_TRUE(player.isReady());
    player.play("Song", "Band", 200000000);
    player.setPositionStep(50000);
    const QDateTime before = QDateTime::currentDateTimeUtc();
    player.setPosition(10000000);
    const QDateTime after = QDateTime::currentDateTimeUtc();
    const QDateTime set = before.addMSecs(before.msecsTo(after) / 2);
    PlayerQuery query(&mprisHost);
    for (int i = 0; i < 8; ++i) {
        QThread::msleep(static_cast<unsigned long>(13 * i % 50));
        const std::optional<PlayerSample> sample = runQuery(query);
        ASSERT_TRUE(sample);
        const double truth = 10.0 + double(set.msecsTo(sample->sampledAt)) / 1000.0;
        EXPECT_NEAR(sample->position, truth, 0.025) << "run " << i;
    }
}

// What was extrapolated for a Spotify that has quit must not stand for the one started after it.
TEST_F(MprisHost, ASpotifyThatLeftLeavesNoPositionBehind)
{
    PlayerQuery query(&mprisHost);
    {
        FakePlayerProcess spotify("org.mpris.MediaPlayer2.spotify");
        ASSERT_TRUE(spotify.isReady());
        spotify.play("Song", "Band", 200000000);
        spotify.freezePosition(true);  // some Linux clients say 0 throughout
        spotify.setPosition(0);
        ASSERT_TRUE(runQuery(query));
        QThread::msleep(SpotifyPositionFallback::detectAfterMs + 300);
        ASSERT_TRUE(runQuery(query));
        const std::optional<PlayerSample> extrapolated = runQuery(query);
        ASSERT_TRUE(extrapolated);
        ASSERT_GT(extrapolated->position, 2.0);
        spotify.quit();
    }
    ASSERT_TRUE(waitUntil([&] { return !runQuery(query); }));

    FakePlayerProcess again("org.mpris.MediaPlayer2.spotify");
    ASSERT_TRUE(again.isReady());
    again.play("Song", "Band", 200000000);
    again.freezePosition(true);
    again.setPosition(0);
    again.setStatus("Paused");  // paused at 0: believed, unless the old player's clock is still about
    const std::optional<PlayerSample> sample = runQuery(query);
    ASSERT_TRUE(sample);
    EXPECT_LT(sample->position, 0.5);
}
