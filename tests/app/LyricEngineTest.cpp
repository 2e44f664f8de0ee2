#include "app/LyricEngine.h"
#include "lyrics/LyricsCache.h"
#include "lyrics/LyricsProvider.h"

#include "EventLoopWait.h"
#include "LoopbackHttpServer.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using namespace std::chrono_literals;

const NowPlayingTrack slowTrack{QStringLiteral("Slow Song"), QStringLiteral("Artist"), 200.0};
const NowPlayingTrack cachedTrack{QStringLiteral("Cached Song"), QStringLiteral("Artist"), 180.0};
const QDateTime epoch = QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC);

PlayerSample sampleOf(const NowPlayingTrack& track, double position, bool playing, const QDateTime& at)
{
    return PlayerSample{QStringLiteral("music"), track.title, track.artist, track.duration, position, playing, at};
}

// An engine over the real lyrics provider against a loopback service whose search never answers,
// so that a lookup that reaches the network stays in flight; one track's lyrics are in the cache.
// The player is played by the test: it hands samples to the monitor as the poll would.
class Engine : public ::testing::Test {
protected:
    Engine()
    {
        server.setReply(QStringLiteral("/api/search/get"), LoopbackHttpServer::Reply::stalling());
        LyricsCache(LyricsCache::prepare(cacheRoot.path())).write(cachedLyrics, cachedTrack);
        QObject::connect(&engine, &LyricEngine::lyricsChanged,
                         [this](const std::optional<TimedLyrics>& l) { published.append(l); });
        QObject::connect(&engine, &LyricEngine::trackDelivered,
                         [this](const std::optional<NowPlayingTrack>& t) { deliveredToArtwork.append(t); });
        QObject::connect(&engine, &LyricEngine::lyricsFound,
                         [this](const QList<TimedWord>& words) { prefetched.append(words); });
    }

    void play(const NowPlayingTrack& track, double position = 1.0)
    {
        engine.nowPlaying().ingest(sampleOf(track, position, true, QDateTime::currentDateTimeUtc()));
    }
    void stop() { engine.nowPlaying().ingest(std::nullopt); }
    int searches() const { return int(server.requestsFor(QStringLiteral("/api/search/get")).size()); }

    const TimedLyrics cachedLyrics{LyricTier::wordLevel, {TimedWord{QStringLiteral("hello"), 1.0, 2.0, 0}}};
    LoopbackHttpServer server;
    QTemporaryDir cacheRoot;
    LyricsProvider provider{LyricsProvider::Options{server.baseUrl(), cacheRoot.path(), 10s, {}}};
    LyricEngine engine{[](NowPlayingMonitor::Completion) {},  // the test delivers the samples itself
                       [this](const NowPlayingTrack& track) { return provider.lookup(track); }};
    QList<std::optional<TimedLyrics>> published;
    QList<std::optional<NowPlayingTrack>> deliveredToArtwork;
    QList<QList<TimedWord>> prefetched;
};

TEST_F(Engine, StartsWithNothingAndTellsTheArtworkSyncSo)
{
    EXPECT_FALSE(engine.lyrics().has_value());
    ASSERT_TRUE(waitFor([&] { return deliveredToArtwork.size() == 1; }));
    waitFor([] { return false; }, 100ms);
    ASSERT_EQ(deliveredToArtwork.size(), 1);
    EXPECT_FALSE(deliveredToArtwork.first().has_value());
}

TEST_F(Engine, PublishesTheLyricsOfTheTrackAndWarmsTheResolver)
{
    play(cachedTrack);
    EXPECT_FALSE(engine.lyrics().has_value());  // cleared at once, answered later
    ASSERT_TRUE(waitFor([&] { return engine.lyrics().has_value(); }));
    EXPECT_EQ(*engine.lyrics(), cachedLyrics);
    ASSERT_EQ(prefetched.size(), 1);
    EXPECT_EQ(prefetched.first(), cachedLyrics.words());
}

TEST_F(Engine, AQuickSecondTrackCancelsTheFirstWhoseAnswerNeverArrives)
{
    play(slowTrack);
    ASSERT_TRUE(waitFor([&] { return searches() == 1; }));  // in flight
    play(cachedTrack);
    ASSERT_TRUE(waitFor([&] { return engine.lyrics().has_value(); }));
    EXPECT_EQ(*engine.lyrics(), cachedLyrics);
    waitFor([] { return false; }, 300ms);
    EXPECT_EQ(*engine.lyrics(), cachedLyrics);
    EXPECT_TRUE(waitFor([&] { return server.openConnections() == 0; }));  // the stalled request was aborted
}

TEST_F(Engine, GoingBackToTheSlowTrackClearsTheShownLyricsAtOnce)
{
    play(cachedTrack);
    ASSERT_TRUE(waitFor([&] { return engine.lyrics().has_value(); }));
    play(slowTrack);
    EXPECT_FALSE(engine.lyrics().has_value());
    waitFor([] { return false; }, 200ms);
    EXPECT_FALSE(engine.lyrics().has_value());
}

TEST_F(Engine, StoppingClearsTheLyricsStartsNoLookupAndTellsTheArtworkSync)
{
    play(cachedTrack);
    ASSERT_TRUE(waitFor([&] { return engine.lyrics().has_value(); }));
    stop();
    EXPECT_FALSE(engine.lyrics().has_value());
    ASSERT_FALSE(deliveredToArtwork.isEmpty());
    EXPECT_FALSE(deliveredToArtwork.last().has_value());
    EXPECT_EQ(searches(), 0);
}

TEST_F(Engine, TheSameTrackAgainTriggersNothing)
{
    play(cachedTrack, 1.0);
    ASSERT_TRUE(waitFor([&] { return engine.lyrics().has_value(); }));
    const qsizetype publishedBefore = published.size();
    const qsizetype deliveredBefore = deliveredToArtwork.size();
    play(cachedTrack, 1.5);
    play(cachedTrack, 2.0);
    waitFor([] { return false; }, 100ms);
    EXPECT_EQ(published.size(), publishedBefore);
    EXPECT_EQ(deliveredToArtwork.size(), deliveredBefore);
    EXPECT_TRUE(engine.lyrics().has_value());
}

struct PlayheadCase {
    const char* name;
    bool hasSample;
    double position;
    bool playing;
    double secondsLater;
    double expected;
};

class EnginePlayhead : public ::testing::TestWithParam<PlayheadCase> {};

TEST_P(EnginePlayhead, LeadsTheAnchorByPointEighteen)
{
    LyricEngine engine([](NowPlayingMonitor::Completion) {}, [](const NowPlayingTrack&) { return nullptr; });
    if (GetParam().hasSample)
        engine.nowPlaying().ingest(sampleOf(slowTrack, GetParam().position, GetParam().playing, epoch));
    EXPECT_NEAR(engine.playhead(epoch.addMSecs(qint64(GetParam().secondsLater * 1000))), GetParam().expected, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Anchors, EnginePlayhead,
                         ::testing::Values(PlayheadCase{"IdleAtAnyInstant", false, 0, false, 500.0, 0.18},
                                           PlayheadCase{"PausedStaysPut", true, 61.0, false, 30.0, 61.18},
                                           PlayheadCase{"PlayingExtrapolates", true, 10.0, true, 2.5, 12.68}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
