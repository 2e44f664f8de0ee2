// The engine and "Wrong Lyrics — Try Another" over the real provider and a loopback service.
#include "app/LyricEngine.h"
#include "app/LyricsRejection.h"
#include "lyrics/LyricsCache.h"
#include "lyrics/LyricsProvider.h"
#include "EventLoopWait.h"
#include "LoopbackHttpServer.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using Reply = LoopbackHttpServer::Reply;

const NowPlayingTrack lanterns{QStringLiteral("Lanterns"), QStringLiteral("Mara Lind & Jonas Vey"), 214.6};
const NowPlayingTrack cachedTrack{QStringLiteral("Cached Song"), QStringLiteral("Artist"), 180.0};
const NowPlayingTrack unknown{QStringLiteral("Nowhere"), QStringLiteral("Nobody"), 100};
const QString searchPath = QStringLiteral("/api/search/get");
const QString lyricPath = QStringLiteral("/api/song/lyric/v1");

PlayerSample sampleOf(const NowPlayingTrack& track, double position, bool playing, const QDateTime& at)
{
    return PlayerSample{QStringLiteral("music"), track.title, track.artist, track.duration, position, playing, at};
}

class Engine : public ::testing::Test {
protected:
    Engine()
    {
        const auto dataReply = [](const char* name) {
            QFile file(QStringLiteral(ZUVIK_LYRICS_TEST_DATA "/") + QString::fromUtf8(name));
            EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
            return Reply::json(file.readAll());
        };
        // Candidates are probed as 5004, 5008, 5002, 5009, 5001; 5002 is word-level, 5008 line-level.
        server.setReply(searchPath, dataReply("search_lanterns.json"));
        server.setReply(lyricPath, dataReply("lyric_none.json"));
        server.setReply(lyricPath, QStringLiteral("5008"), dataReply("lyric_line_level.json"));
        server.setReply(lyricPath, QStringLiteral("5002"), dataReply("lyric_word_level.json"));
        LyricsCache(LyricsCache::prepare(folder.filePath(QStringLiteral("cache")))).write(cachedLyrics, cachedTrack);
        QObject::connect(&engine, &LyricEngine::trackDelivered, [this](const auto& t) { delivered.append(t); });
        QObject::connect(&engine, &LyricEngine::lyricsFound,
                         [this](const QList<TimedWord>& w) { prefetched.append(w); });
        QObject::connect(&rejection, &LyricsRejection::stateChanged, [this](RejectionState s) { states.append(s); });
    }

    bool play(const NowPlayingTrack& track, bool waitForLyrics = false, double position = 1.0)
    {
        engine.nowPlaying().ingest(sampleOf(track, position, true, QDateTime::currentDateTimeUtc()));
        return !waitForLyrics || waitFor([&] { return engine.lyrics().has_value(); });
    }

    const TimedLyrics cachedLyrics{LyricTier::wordLevel, {TimedWord{QStringLiteral("hello"), 1.0, 2.0, 0}}};
    LoopbackHttpServer server;
    QTemporaryDir folder;
    LyricsProvider provider{LyricsProvider::Options{server.baseUrl(), folder.filePath(QStringLiteral("cache")), 10s,
                                                    folder.filePath(QStringLiteral("rejected.json"))}};
    LyricEngine engine{[](NowPlayingMonitor::Completion) {},
                       [this](const NowPlayingTrack& track) { return provider.lookup(track); }};
    LyricsRejection rejection{engine,
                              [this](const NowPlayingTrack& track, const LyricsOrigin& origin,
                                     const TimedLyrics& wrong) { return provider.retry(track, origin, wrong); }};
    QList<std::optional<NowPlayingTrack>> delivered;
    QList<QList<TimedWord>> prefetched;
    QList<RejectionState> states;
};

// The first track's lookup stalls; a second one is answered from the cache, the first never.
TEST_F(Engine, FollowsEachTrackOnceAndCancelsTheLookupOfOneLeftBehind)
{
    ASSERT_TRUE(waitFor([&] { return delivered.size() == 1; }));  // nothing playing, said once
    EXPECT_FALSE(delivered.first().has_value());
    server.setReply(searchPath, Reply::stalling());
    play(lanterns);
    ASSERT_TRUE(waitFor([&] { return server.requestsFor(searchPath).size() == 1; }));  // in flight
    play(cachedTrack);
    EXPECT_FALSE(engine.lyrics().has_value());  // cleared at once, answered later
    ASSERT_TRUE(waitFor([&] { return engine.lyrics().has_value(); }));
    EXPECT_EQ(*engine.lyrics(), cachedLyrics);
    EXPECT_EQ(prefetched, QList<QList<TimedWord>>{cachedLyrics.words()});
    EXPECT_TRUE(waitFor([&] { return server.openConnections() == 0; }));  // the stalled request was aborted
    play(cachedTrack, false, 1.5);  // the same track again: nothing to do
    runEventLoopFor(300ms);
    EXPECT_EQ(delivered.size(), 3);
    EXPECT_EQ(*engine.lyrics(), cachedLyrics);
    play(lanterns);  // and back: the shown lyrics go at once
    EXPECT_FALSE(engine.lyrics().has_value());
    engine.nowPlaying().ingest(std::nullopt);
    runEventLoopFor(200ms);
    EXPECT_FALSE(engine.lyrics().has_value());
    EXPECT_FALSE(delivered.last().has_value());
    const QDateTime epoch = QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC);  // the playhead leads by 0.18 s
    engine.nowPlaying().ingest(sampleOf(lanterns, 61.0, false, epoch));
    EXPECT_NEAR(engine.playhead(epoch.addSecs(30)), 61.18, 1e-9);
}

TEST_F(Engine, ATrackChangeDuringTheRetryEndsItWithOneAnswer)
{
    ASSERT_TRUE(play(lanterns, true));
    server.setReply(lyricPath, QStringLiteral("5004"), Reply::stalling());
    QStringList answers;
    rejection.reject([&answers](bool, const QString& text) { answers.append(text); });
    ASSERT_TRUE(waitFor([&] { return server.openConnections() > 0; }));
    play(cachedTrack);
    ASSERT_TRUE(waitFor([&] { return !answers.isEmpty(); }));
    runEventLoopFor(100ms);  // and no second one
    EXPECT_EQ(answers,
              QStringList{"the track changed before another match for Mara Lind & Jonas Vey — Lanterns was found"});
}

TEST_F(Engine, RejectingSendsMatchesAwayOneByOne)
{
    QStringList answers;  // "+" found another, "-" refused
    const auto reject = [&] {
        const qsizetype before = answers.size();
        rejection.reject([&](bool found, const QString& text) { answers.append((found ? u'+' : u'-') + text); });
        EXPECT_TRUE(waitFor([&] { return answers.size() > before; }));
        return answers.value(before);
    };
    EXPECT_EQ(reject(), QStringLiteral("-nothing is playing"));
    play(unknown);  // a track whose lookup found nothing
    ASSERT_TRUE(waitFor([&] { return server.requestsFor(searchPath).size() == 1; }));
    runEventLoopFor(100ms);
    EXPECT_EQ(reject(), QStringLiteral("-no lyrics are showing for Nobody — Nowhere"));
    EXPECT_EQ(rejection.state(), RejectionState::unavailable);
    ASSERT_TRUE(play(lanterns, true));
    EXPECT_EQ(rejection.state(), RejectionState::available);
    states.clear();
    EXPECT_EQ(reject(), QStringLiteral("+now showing ncm 5008 \"Lanterns - Acoustic Version\" by Mara Lind for "
                                       "Mara Lind & Jonas Vey — Lanterns"));
    ASSERT_TRUE(engine.lyrics());
    EXPECT_EQ(engine.lyrics()->tier(), LyricTier::interpolated);
    for (int again = 0; again < 2; ++again)
        EXPECT_EQ(reject(), QStringLiteral("-no other match for Mara Lind & Jonas Vey — Lanterns"));
    EXPECT_FALSE(engine.lyrics());
    EXPECT_EQ(states, (QList<RejectionState>{RejectionState::unavailable, RejectionState::available,
                                             RejectionState::unavailable, RejectionState::noOtherMatch}));
}

}  // namespace
