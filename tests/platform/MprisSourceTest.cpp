// The MPRIS source on a private bus: failures, a lost bus, seeks, stepping positions, Spotify's zero.
#include "FakeMprisPlayer.h"
#include "PrivateBus.h"
#include "QuerySupport.h"

#include "platform/mpris/MprisArtworkSource.h"
#include "platform/mpris/MprisPlayerSource.h"
#include "platform/mpris/SpotifyPositionFallback.h"

#include <QThread>

#include <gtest/gtest.h>

namespace {

class MprisSource : public ::testing::Test {
protected:
    PrivateBus bus{PrivateBus::session};
    LogLines log;
    PlayerQuery query{[] { return std::make_unique<MprisPlayerSource>(PlayerRoster::shared()); }};
};

}  // namespace

TEST_F(MprisSource, FailuresAreLoggedOncePerStreakInDBusTerms)
{
    FakeMprisPlayer player("org.mpris.MediaPlayer2.vlc");
    ASSERT_TRUE(player.isReady());
    player.play("Song", "Band", 200000000);
    player.setReplyDelay(MprisPlayerSource::callTimeoutMs + 500);
    EXPECT_EQ(runQuery(query), std::nullopt);
    EXPECT_EQ(runQuery(query), std::nullopt);
    player.setReplyDelay(0);
    EXPECT_TRUE(runQuery(query));
    player.setFailure("org.freedesktop.DBus.Error.Failed", "player broke");
    EXPECT_EQ(runQuery(query), std::nullopt);
    const QStringList lines = log.newMessages();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("player query: D-Bus failed (org.freedesktop.DBus.Error.NoReply): "));
    EXPECT_EQ(lines[1], "player query: D-Bus failed (org.freedesktop.DBus.Error.Failed): player broke");
}

TEST_F(MprisSource, ABusThatIsMissingOrRestartedIsConnectedWhenItIsBack)
{
    bus.stop();
    EXPECT_EQ(MprisArtworkSource(PlayerRoster::shared()).currentArtwork(), ArtworkLocation());
    EXPECT_EQ(runQuery(query), std::nullopt);
    EXPECT_EQ(runQuery(query), std::nullopt);
    ASSERT_EQ(log.newMessages().size(), 1);
    EXPECT_TRUE(log.newMessages()[0].startsWith("player query: D-Bus failed (")) << log.newMessages()[0].toStdString();
    for (const char* title : {"Before", "After"}) {
        ASSERT_TRUE(bus.start());
        FakeMprisPlayer player("org.mpris.MediaPlayer2.vlc");
        ASSERT_TRUE(player.isReady());
        player.play(title, "Band", 200000000);
        std::optional<PlayerSample> sample;
        EXPECT_TRUE(waitUntil([&] { return (sample = runQuery(query)).has_value(); }));
        EXPECT_EQ(sample ? sample->title : QString(), title);
        bus.stop();
    }
}

TEST_F(MprisSource, OnlyTheFollowedPlayersSeeksAreReported)
{
    FakeMprisPlayer vlc("org.mpris.MediaPlayer2.vlc");
    FakeMprisPlayer mpv("org.mpris.MediaPlayer2.mpv");
    ASSERT_TRUE(vlc.isReady() && mpv.isReady());
    vlc.play("Followed", "Band", 200000000);
    mpv.play("Other", "Band", 200000000);
    mpv.setStatus("Paused");
    int seeks = 0;
    MprisPlayerSource source(PlayerRoster::shared());
    source.setSeekListener([&seeks] { ++seeks; });
    ASSERT_EQ(std::get<PlayerReading>(source.read()).sample->title, "Followed");
    mpv.emitSeeked(5000000);
    vlc.emitSeeked(7000000);
    ASSERT_TRUE(waitUntil([&] { return seeks >= 1; }));
    EXPECT_EQ(seeks, 1);  // the mpv signal was sent first, so it has been delivered by now too
    vlc.setStatus("Stopped");
    source.read();  // now follows the paused mpv
    vlc.emitSeeked(9000000);
    mpv.emitSeeked(1000000);
    ASSERT_TRUE(waitUntil([&] { return seeks >= 2; }));
    EXPECT_EQ(seeks, 2);
}

// Like mpv without audio, Position moves in 50 ms steps: a sample is right for its instant in any phase.
TEST_F(MprisSource, APositionMovingInStepsIsTakenWhereItJustMoved)
{
    FakeMprisPlayer player("org.mpris.MediaPlayer2.mpv");
    ASSERT_TRUE(player.isReady());
    player.play("Song", "Band", 200000000);
    player.setPositionStep(50000);
    const QDateTime before = QDateTime::currentDateTimeUtc();
    player.setPosition(10000000);
    const QDateTime set = before.addMSecs(before.msecsTo(QDateTime::currentDateTimeUtc()) / 2);
    for (int i = 0; i < 8; ++i) {
        QThread::msleep(static_cast<unsigned long>(13 * i % 50));
        const std::optional<PlayerSample> sample = runQuery(query);
        ASSERT_TRUE(sample);
        EXPECT_NEAR(sample->position, 10.0 + double(set.msecsTo(sample->sampledAt)) / 1000.0, 0.025) << "run " << i;
    }
}

// A Spotify stuck at 0 is extrapolated and follows seeks; nothing of it stands for the one after it.
TEST_F(MprisSource, SpotifyStuckAtZeroIsExtrapolatedFollowsSeeksAndLeavesNothingBehind)
{
    const auto stuckSpotify = [](const char* status) {
        auto spotify = std::make_unique<FakeMprisPlayer>("org.mpris.MediaPlayer2.spotify");
        spotify->play("Song", "Band", 200000000);
        spotify->freezePosition(true);
        spotify->setPosition(0);
        spotify->setStatus(status);
        return spotify;
    };
    auto spotify = stuckSpotify("Playing");
    ASSERT_TRUE(runQuery(query));
    QThread::msleep(SpotifyPositionFallback::detectAfterMs + 300);
    ASSERT_TRUE(runQuery(query));
    const std::optional<PlayerSample> extrapolated = runQuery(query);
    ASSERT_TRUE(extrapolated);
    EXPECT_GT(extrapolated->position, 2.0);
    EXPECT_TRUE(log.contains("player query: spotify position unavailable — extrapolating"));
    spotify->emitSeeked(60000000);
    std::optional<PlayerSample> seeked;
    EXPECT_TRUE(waitUntil([&] { return (seeked = runQuery(query)) && seeked->position > 59; }));
    EXPECT_LT(seeked ? seeked->position : 0, 61);
    spotify.reset();
    // Until a run has listed the bus without it: a run that only finds it gone fails and forgets nothing.
    ASSERT_TRUE(
        waitUntil([&] { return !runQuery(query) && !PlayerRoster::shared().playersSeen().contains("spotify"); }));

    spotify = stuckSpotify("Paused");  // paused at 0: believed, unless the old player's clock is still about
    const std::optional<PlayerSample> sample = runQuery(query);
    ASSERT_TRUE(sample);
    EXPECT_LT(sample->position, 0.5);
}
