// The lyrics service client end to end, against a real HTTP server on 127.0.0.1.
#include "LyricsServiceFixture.h"

#include "lyrics/TimedLyricsJson.h"

#include <cmath>
#include <limits>

using namespace service_test;

namespace {

TEST_F(LyricsService, ProbesExactTitlesByNearestDurationAndTakesTheFirstWordLevelText)
{
    server.setReply(lyricPath, QStringLiteral("5008"), dataReply("lyric_line_level.json"));
    server.setReply(lyricPath, QStringLiteral("5002"), dataReply("lyric_word_level.json"));

    const Outcome outcome = lookUp();

    // 5004 is 0 ms off, 5008 1600, 5002 1900: a later word-level text beats an earlier line-level one.
    EXPECT_EQ(lyricIdsRequested(), (QStringList{"5004", "5008", "5002"}));
    ASSERT_TRUE(outcome.lyrics);
    EXPECT_EQ(outcome.lyrics->tier(), LyricTier::wordLevel);
    EXPECT_EQ(outcome.lyrics->words().size(), 21);
    EXPECT_EQ(outcome.lyrics->words().first().text, QStringLiteral("Lan"));
    expectMessages(log.newMessages(), {"lyrics: word-level via ncm 5002 \"Lanterns\" by Jonas Vey (21 words)"});
    QFile stored(cacheFile(lanterns));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_EQ(stored.readAll(), encodeTimedLyrics(*outcome.lyrics));
}

TEST_F(LyricsService, SecondLookupAndLookupAfterARestartAreServedFromDiskWithoutARequest)
{
    server.setReply(lyricPath, QStringLiteral("5004"), dataReply("lyric_word_level.json"));
    const Outcome first = lookUp();
    const qsizetype requestsBefore = server.requests().size();
    const LogLines afterFirst;

    const Outcome second = lookUp();
    const std::unique_ptr<LyricsProvider> restarted = makeProvider();
    const Outcome third = lookUpWith(*restarted, lanterns);

    EXPECT_EQ(server.requests().size(), requestsBefore);
    ASSERT_TRUE(first.lyrics);
    EXPECT_EQ(second.lyrics, first.lyrics);
    EXPECT_EQ(third.lyrics, first.lyrics);
    expectMessages(afterFirst.newMessages(),
                   {"lyrics: cache hit (wordLevel, 21 words)", "lyrics: cache hit (wordLevel, 21 words)"});
}

TEST_F(LyricsService, RequestsCarryTheirQueryItemsInOrderAndTheTwoHeaders)
{
    server.setReply(lyricPath, QStringLiteral("5004"), dataReply("lyric_word_level.json"));
    lookUp();

    ASSERT_EQ(server.requests().size(), 2);
    const auto& search = server.requests()[0];
    const auto& lyric = server.requests()[1];
    EXPECT_EQ(search.method, "GET");
    EXPECT_EQ(search.path, searchPath);
    EXPECT_EQ(search.query, (QueryItems{{"s", "Mara Lind lanterns"}, {"type", "1"}, {"limit", "30"}, {"offset", "0"}}));
    EXPECT_TRUE(search.rawQuery.startsWith("s=Mara%20Lind%20lanterns&")) << search.rawQuery.toStdString();
    EXPECT_EQ(lyric.query, (QueryItems{{"id", "5004"}, {"cp", "false"}, {"lv", "0"}, {"kv", "0"}, {"tv", "0"},
                                       {"rv", "0"}, {"yv", "0"}, {"ytv", "0"}, {"yrv", "0"}}));
    const QByteArray referer = server.baseUrl().toEncoded() + '/';
    for (const auto& request : server.requests()) {
        EXPECT_EQ(request.header("User-Agent"), "Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7)");
        EXPECT_EQ(request.header("Referer"), referer);
    }
}

TEST_F(LyricsService, CookiesAreNeitherSentNorKept)
{
    Reply search = dataReply("search_lanterns.json");
    search.headers.append(qMakePair(QByteArray("Set-Cookie"), QByteArray("session=abc; Path=/")));
    server.setReply(searchPath, search);
    lookUp();
    lookUp(NowPlayingTrack{QStringLiteral("Lanterns"), QStringLiteral("Mara Lind"), 214.6});

    ASSERT_EQ(server.requests().size(), 10);
    for (const auto& request : server.requests())
        EXPECT_EQ(request.header("Cookie"), std::nullopt) << request.path.toStdString();
}

TEST_F(LyricsService, FallsBackToTheFirstLineLevelTextOnlyAfterEveryProbe)
{
    server.setReply(lyricPath, QStringLiteral("5008"), dataReply("lyric_line_level.json"));
    server.setReply(lyricPath, QStringLiteral("5002"), lineLevelOnly("[00:01.00]a later text"));

    const Outcome outcome = lookUp();

    // Four probes at most: 5001, the fifth candidate, is never asked even though nothing was found.
    EXPECT_EQ(lyricIdsRequested(), (QStringList{"5004", "5008", "5002", "5009"}));
    ASSERT_TRUE(outcome.lyrics);
    EXPECT_EQ(outcome.lyrics->tier(), LyricTier::interpolated);
    EXPECT_EQ(outcome.lyrics->words().first().text, QStringLiteral("Lanterns"));
    expectMessages(log.newMessages(),
                   {"lyrics: dropped 5 translation-line words", "lyrics: interpolated from line-level (20 words)"});
    EXPECT_TRUE(QFile::exists(cacheFile(lanterns)));
}

TEST_F(LyricsService, WordLevelTextWithoutWordsLeavesItsLineLevelTextAsFallback)
{
    const QJsonObject reply{{"yrc", QJsonObject{{"lyric", "{\"t\":0,\"c\":[{\"tx\":\"作词: x\"}]}\n[0,100]"}}},
                            {"lrc", QJsonObject{{"lyric", "[00:01.00]only this line"}}}};
    server.setReply(lyricPath, QStringLiteral("5004"), Reply::json(QJsonDocument(reply).toJson()));

    const Outcome outcome = lookUp();

    ASSERT_TRUE(outcome.lyrics);
    EXPECT_EQ(outcome.lyrics->tier(), LyricTier::interpolated);
    EXPECT_EQ(textsOf(outcome.lyrics->words()), (QStringList{"only", "this", "line"}));
}

TEST_F(LyricsService, NothingUsableLeavesNoFileAndTheNextLookupAsksAgain)
{
    EXPECT_EQ(lookUp().lyrics, std::nullopt);
    EXPECT_EQ(lookUp().lyrics, std::nullopt);

    EXPECT_EQ(server.requestsFor(searchPath).size(), 2);
    EXPECT_FALSE(QFile::exists(cacheFile(lanterns)));
    expectMessages(log.newMessages(), {nothingUsable, nothingUsable});
}

TEST_F(LyricsService, FailedProbeIsLoggedAndTheNextOneIsTried)
{
    server.setReply(lyricPath, QStringLiteral("5004"), Reply::withStatus(500));
    server.setReply(lyricPath, QStringLiteral("5008"), Reply::json("{\"yrc\":"));
    server.setReply(lyricPath, QStringLiteral("5002"), dataReply("lyric_word_level.json"));

    EXPECT_TRUE(lookUp().lyrics);
    expectMessages(log.newMessages(), {"lyrics: HTTP failure for 127.0.0.1", "lyrics: request failed — invalid JSON*",
                                       "lyrics: word-level via ncm 5002 \"Lanterns\" by Jonas Vey (21 words)"});
}

TEST_F(LyricsService, UnreachableServiceIsARequestFailure)
{
    const LyricsProvider unreachable(LyricsProvider::Options{QUrl(QStringLiteral("http://127.0.0.1:1")), cacheRoot.path(), 15s, {}});
    EXPECT_EQ(lookUpWith(const_cast<LyricsProvider&>(unreachable), lanterns).lyrics, std::nullopt);
    expectMessages(log.newMessages(), {"lyrics: request failed — *", noCandidate});
}

struct SearchFailureCase {
    const char* name;
    Reply (*reply)();
    QStringList messages;
};

class SearchFailure : public LyricsService, public ::testing::WithParamInterface<SearchFailureCase> {};

TEST_P(SearchFailure, YieldsNoCandidateWithItsLogLines)
{
    server.setReply(searchPath, GetParam().reply());
    server.setReply(QStringLiteral("/moved"), Reply::json(searchReplyOf({})));
    const std::unique_ptr<LyricsProvider> provider = makeProvider(300ms, 1s);

    EXPECT_EQ(lookUpWith(*provider, lanterns).lyrics, std::nullopt);
    expectMessages(log.newMessages(), GetParam().messages);
    EXPECT_TRUE(server.requestsFor(lyricPath).isEmpty());
}

// A body of exactly `size` bytes that is a valid search reply without songs.
QByteArray paddedEmptyReply(qsizetype size)
{
    QByteArray body = R"({"result":{"songs":[]},"pad":""})";
    body.insert(body.size() - 2, QByteArray(size - body.size(), 'x'));
    return body;
}

Reply overCapDeclared()
{
    return Reply::json(paddedEmptyReply(8 * 1024 * 1024 + 1));
}

Reply overCapStreamed()
{
    Reply reply = overCapDeclared();
    reply.declareLength = false;
    return reply;
}

Reply noneOfThirtyFits()
{
    QJsonArray songs;
    for (int i = 0; i < 30; ++i)
        songs.append(QJsonObject{{"id", i}, {"name", "Lanterns"}, {"artists", QJsonArray{QJsonObject{{"name", "Someone Else"}}}}});
    return Reply::json(searchReplyOf(songs));
}

INSTANTIATE_TEST_SUITE_P(
    Replies, SearchFailure,
    ::testing::Values(
        SearchFailureCase{"NotFound", [] { return Reply::withStatus(404); }, {"lyrics: HTTP failure for 127.0.0.1", noCandidate}},
        SearchFailureCase{"ServerError", [] { return Reply::withStatus(500); }, {"lyrics: HTTP failure for 127.0.0.1", noCandidate}},
        SearchFailureCase{"InvalidJson", [] { return Reply::json("{\"result\":"); },
                          {"lyrics: request failed — invalid JSON*", noCandidate}},
        SearchFailureCase{"TopLevelArray", [] { return Reply::json("[1,2,3]"); }, {noCandidate}},
        SearchFailureCase{"TopLevelString", [] { return Reply::json("\"songs\""); }, {noCandidate}},
        SearchFailureCase{"TopLevelNull", [] { return Reply::json("null"); }, {noCandidate}},
        SearchFailureCase{"EmptyBody", [] { return Reply::json(""); }, {"lyrics: request failed — invalid JSON*", noCandidate}},
        SearchFailureCase{"TwoValues", [] { return Reply::json("1,2"); }, {"lyrics: request failed — invalid JSON*", noCandidate}},
        SearchFailureCase{"NoResult", [] { return Reply::json("{\"code\":200}"); }, {noCandidate}},
        SearchFailureCase{"EmptySongs", [] { return Reply::json(searchReplyOf({})); }, {noneOfZero, noCandidate}},
        SearchFailureCase{"NoneOfThirtyFits", noneOfThirtyFits,
                          {"lyrics: 30 results for \"Mara Lind lanterns\", none matched identity+duration for Mara Lind & "
                           "Jonas Vey — Lanterns",
                           noCandidate}},
        SearchFailureCase{"StallsPastTheTimeOut", [] { return Reply::stalling(); },
                          {"lyrics: request failed — the request timed out", noCandidate}},
        // A byte every 0.1 s never trips the time-out between bytes; the whole request's deadline ends it.
        SearchFailureCase{"DripsPastTheDeadline", [] { return Reply::dripping(searchReplyOf({}), 100); },
                          {"lyrics: request failed — no whole reply within 1 s", noCandidate}},
        SearchFailureCase{"DeclaresMoreThanEightMiB", overCapDeclared,
                          {"lyrics: request failed — the reply is larger than 8 MiB", noCandidate}},
        SearchFailureCase{"StreamsMoreThanEightMiB", overCapStreamed,
                          {"lyrics: request failed — the reply is larger than 8 MiB", noCandidate}},
        SearchFailureCase{"ExactlyEightMiBIsRead", [] { return Reply::json(paddedEmptyReply(8 * 1024 * 1024)); },
                          {noneOfZero, noCandidate}},
        SearchFailureCase{"RedirectIsFollowed", [] { return Reply{302, {}, {{"Location", "/moved"}}}; },
                          {noneOfZero, noCandidate}}),
    [](const auto& info) { return std::string(info.param.name); });

struct DurationCase {
    const char* name;
    double duration;
    bool candidateAccepted;
};

class TrackDurationInLookup : public LyricsService, public ::testing::WithParamInterface<DurationCase> {};

// The only candidate lasts 1 ms: only a track without a usable duration accepts it.
TEST_P(TrackDurationInLookup, UnusableDurationChecksNothingAndKeysTheCacheWithZero)
{
    const QJsonArray songs{QJsonObject{{"id", 7001}, {"name", "Lanterns"}, {"artists", QJsonArray{QJsonObject{{"name", "Mara Lind"}}}}, {"duration", 1}}};
    server.setReply(searchPath, Reply::json(searchReplyOf(songs)));
    server.setReply(lyricPath, dataReply("lyric_word_level.json"));
    NowPlayingTrack track = lanterns;
    track.duration = GetParam().duration;

    const Outcome outcome = lookUp(track);

    EXPECT_EQ(outcome.lyrics.has_value(), GetParam().candidateAccepted);
    NowPlayingTrack keyedWithZero = lanterns;
    keyedWithZero.duration = 0;
    EXPECT_EQ(QFile::exists(cacheFile(keyedWithZero)), GetParam().candidateAccepted);
}

INSTANTIATE_TEST_SUITE_P(
    Durations, TrackDurationInLookup,
    ::testing::Values(DurationCase{"NaN", std::nan(""), true},
                      DurationCase{"Infinity", std::numeric_limits<double>::infinity(), true},
                      DurationCase{"PastTheMillisecondRange", 9.3e15, true}, DurationCase{"Unknown", 0.0, true},
                      DurationCase{"Known", 214.6, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
