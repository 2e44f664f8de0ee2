// The application's query and monitor following fake players on a private bus, in real time.
#include "FakePlayerProcess.h"
#include "PlaybackPrinting.h"
#include "PrivateSessionBus.h"
#include "QuerySupport.h"

#include "platform/mpris/MprisScriptHost.h"

#include <QElapsedTimer>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

constexpr qint64 second = 1000000;  // microseconds

double seconds(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

class MonitorOverMpris : public ::testing::Test {
protected:
    MonitorOverMpris()
    {
        QObject::connect(&tracked.monitor, &NowPlayingMonitor::playingReported, [this] { ++ingests; });
    }

    double positionNow() const { return tracked.monitor.anchor().position(QDateTime::currentDateTimeUtc()); }
    const std::optional<NowPlayingTrack>& track() const { return tracked.monitor.track(); }
    bool isPlaying(const char* title) const { return track() && track()->title == title; }
    // Waits for `count` more query results to be applied.
    bool waitForSamples(int count)
    {
        const int target = ingests + count;
        return waitUntil([&] { return ingests >= target; });
    }
    QStringList trackLines() const { return log.lines().filter(QRegularExpression("^(now|nothing) playing")); }

    WithQtApplication app;
    PrivateSessionBus bus;
    LogLines log;
    MonitoredQuery tracked{[] { return std::make_unique<MprisScriptHost>(); }};
    int ingests = 0;
};

}  // namespace

TEST_F(MonitorOverMpris, FollowsPlayPauseSeekTrackChangeStopAndExit)
{
    FakePlayerProcess vlc("org.mpris.MediaPlayer2.vlc");
    ASSERT_TRUE(vlc.isReady());
    ASSERT_TRUE(waitForSamples(1));

    QElapsedTimer sincePlay;
    sincePlay.start();
    vlc.play("First", "Band", 200 * second, 10 * second);
    ASSERT_TRUE(waitUntil([&] { return isPlaying("First"); }));
    EXPECT_EQ(track(), (NowPlayingTrack{"First", "Band", 200}));
    EXPECT_NEAR(positionNow(), 10 + seconds(sincePlay), 0.3);
    const PlayheadAnchor steady = tracked.monitor.anchor();
    ASSERT_TRUE(waitForSamples(4));
    EXPECT_EQ(tracked.monitor.anchor(), steady);  // extrapolation held, nothing re-anchored

    vlc.setStatus("Paused");
    ASSERT_TRUE(waitUntil([&] { return tracked.monitor.anchor().rate == 0; }));
    const PlayheadAnchor pausedAnchor = tracked.monitor.anchor();
    ASSERT_TRUE(waitForSamples(3));
    EXPECT_EQ(tracked.monitor.anchor(), pausedAnchor);

    vlc.setPosition(100 * second);
    vlc.emitSeeked(100 * second);
    ASSERT_TRUE(waitUntil([&] { return tracked.monitor.anchor().elapsed == 100; }));
    QElapsedTimer sinceResume;
    sinceResume.start();
    vlc.setStatus("Playing");
    ASSERT_TRUE(waitUntil([&] { return tracked.monitor.anchor().rate == 1; }));
    EXPECT_NEAR(positionNow(), 100 + seconds(sinceResume), 0.3);

    vlc.play("Second", "Band", 180 * second);
    ASSERT_TRUE(waitUntil([&] { return isPlaying("Second"); }));
    vlc.setStatus("Stopped");
    ASSERT_TRUE(waitUntil([&] { return !track(); }));
    EXPECT_EQ(tracked.monitor.anchor(), PlayheadAnchor::idle());

    vlc.play("First", "Band", 200 * second);
    ASSERT_TRUE(waitUntil([&] { return isPlaying("First"); }));
    vlc.quit();
    ASSERT_TRUE(waitUntil([&] { return !track(); }));

    EXPECT_EQ(trackLines(), (QStringList{"now playing (music): Band — First (200.0s)",
                                         "now playing (music): Band — Second (180.0s)", "nothing playing",
                                         "now playing (music): Band — First (200.0s)", "nothing playing"}));
    EXPECT_EQ(log.lines().count("player query: no MPRIS player is playing or paused"), 3);
    EXPECT_EQ(log.lines().filter(QRegularExpression("^player query: music\tFirst\tBand\t200\t[0-9.]+\ttrue$")).size(), 2);
}

TEST_F(MonitorOverMpris, APlayerWhoseClockRunsFastIsReanchored)
{
    FakePlayerProcess vlc("org.mpris.MediaPlayer2.vlc");
    ASSERT_TRUE(vlc.isReady());
    vlc.setRate(2.0);
    vlc.play("Fast", "Band", 200 * second);
    ASSERT_TRUE(waitUntil([&] { return isPlaying("Fast"); }));
    const PlayheadAnchor first = tracked.monitor.anchor();
    ASSERT_TRUE(waitUntil([&] { return tracked.monitor.anchor().timestamp > first.timestamp; }));
    EXPECT_GT(tracked.monitor.anchor().elapsed, first.elapsed);
    EXPECT_EQ(trackLines(), QStringList{"now playing (music): Band — Fast (200.0s)"});
}

TEST_F(MonitorOverMpris, SpotifyStuckAtZeroIsExtrapolatedAndFollowsSeeks)
{
    const QString fallbackLine = "player query: spotify position unavailable — extrapolating";
    FakePlayerProcess spotify("org.mpris.MediaPlayer2.spotify");
    ASSERT_TRUE(spotify.isReady());
    spotify.freezePosition(true);
    QElapsedTimer sincePlay;
    sincePlay.start();
    spotify.play("Stuck", "Band", 200 * second);
    ASSERT_TRUE(waitUntil([&] { return log.contains(fallbackLine); }));
    ASSERT_TRUE(waitForSamples(2));
    // Counted from the first sample that saw the track play, which is up to one poll late.
    EXPECT_NEAR(positionNow(), seconds(sincePlay) - 0.25, 0.5);

    QElapsedTimer sinceSeek;
    sinceSeek.start();
    spotify.emitSeeked(60 * second);
    ASSERT_TRUE(waitUntil([&] { return tracked.monitor.anchor().elapsed > 59; }));
    EXPECT_NEAR(positionNow(), 60 + seconds(sinceSeek), 0.3);

    spotify.setMetadata(trackMetadata("Next", "Band", 180 * second));
    ASSERT_TRUE(waitUntil([&] { return isPlaying("Next") && log.lines().count(fallbackLine) == 2; }));
    EXPECT_EQ(trackLines(), (QStringList{"now playing (spotify): Band — Stuck (200.0s)",
                                         "now playing (spotify): Band — Next (180.0s)"}));
}

struct OddPositionCase {
    const char* format;
    qint64 lengthSeconds;
    qint64 startSeconds;
};
class OddPositions : public MonitorOverMpris, public ::testing::WithParamInterface<OddPositionCase> {};

TEST_P(OddPositions, AreCorrectedBeforeTheyAreShown)
{
    FakePlayerProcess vlc("org.mpris.MediaPlayer2.vlc");
    ASSERT_TRUE(vlc.isReady());
    vlc.setPositionFormat(QString::fromUtf8(GetParam().format));
    QElapsedTimer sincePlay;
    sincePlay.start();
    vlc.play("Odd", "Band", GetParam().lengthSeconds * second, GetParam().startSeconds * second);
    ASSERT_TRUE(waitUntil([&] { return isPlaying("Odd"); }));
    ASSERT_TRUE(waitForSamples(3));
    EXPECT_NEAR(positionNow(), double(GetParam().startSeconds) + seconds(sincePlay), 0.3);
}

INSTANTIATE_TEST_SUITE_P(Mpris, OddPositions, ::testing::Values(
    OddPositionCase{"ms64", 200, 60}, OddPositionCase{"us32", 3000, 2200}),
    [](const auto& info) { return std::string(info.param.format); });
