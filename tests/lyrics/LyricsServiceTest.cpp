// The lyrics provider end to end against a real HTTP server on 127.0.0.1 serving the replies in data/.
#include "lyrics/CacheFileName.h"
#include "lyrics/LineLevelParser.h"
#include "lyrics/LyricFilters.h"
#include "lyrics/LyricsProvider.h"
#include "lyrics/RejectedCandidates.h"
#include "lyrics/TimedLyricsJson.h"

#include "LoopbackHttpServer.h"
#include "LyricsTestSupport.h"

#include <QRegularExpression>

#include <memory>

namespace {

using namespace std::chrono_literals;
using Reply = LoopbackHttpServer::Reply;

const QString searchPath = "/api/search/get";
const QString lyricPath = "/api/song/lyric/v1";
const NowPlayingTrack lanterns{"Lanterns", "Mara Lind & Jonas Vey", 214.6};
const QString noCandidate = "lyrics: no candidate for Mara Lind & Jonas Vey — Lanterns";
const QString nothingUsable = "lyrics: nothing usable for Mara Lind & Jonas Vey — Lanterns";
const QString noOtherMatch = "lyrics: no other match for Mara Lind & Jonas Vey — Lanterns";
const QString cancelled = "lyrics: request failed — cancelled";
const QString invalidJson = "lyrics: request failed — invalid JSON: unterminated object at offset %1";
const QString httpFailure = "lyrics: HTTP failure for 127.0.0.1";
const QString noneOf = "lyrics: %1 results for \"Mara Lind lanterns\", none matched identity+duration for %2";
const QString noneOfZero = noneOf.arg(0).arg("Mara Lind & Jonas Vey — Lanterns");
const QString wordLevel5002 = "lyrics: word-level via ncm 5002 \"Lanterns\" by Jonas Vey (21 words)";
const QString rejected5002 = "lyrics: rejected ncm 5002 \"Lanterns\" by Jonas Vey for Mara Lind & Jonas Vey — Lanterns";
const QStringList interpolatedFrom5008 = {"lyrics: dropped 5 translation-line words",
                                          "lyrics: interpolated from line-level (20 words)"};

Reply dataReply(const char* name)
{
    QFile file(QStringLiteral(ZUVIK_TEST_DATA "/") + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return Reply::json(file.readAll());
}

Reply jsonReply(const QJsonObject& object) { return Reply::json(QJsonDocument(object).toJson()); }
QJsonObject searchReplyOf(const QJsonArray& songs) { return {{"result", QJsonObject{{"songs", songs}}}}; }
QJsonObject song(int id, const char* artist)
{
    return {
        {"id", id}, {"name", "Lanterns"}, {"artists", QJsonArray{QJsonObject{{"name", artist}}}}, {"duration", 214600}};
}

struct Outcome {
    std::optional<TimedLyrics> lyrics;
    LyricsOrigin origin;
    QList<Candidate> matches;
};

Outcome outcomeOf(LyricsLookup* lookup)
{
    std::optional<Outcome> outcome;
    QObject::connect(lookup, &LyricsLookup::finished, lookup, [&, lookup](const std::optional<TimedLyrics>& l) {
        outcome = {l, lookup->origin(), lookup->matches()};
    });
    EXPECT_TRUE(waitFor([&] { return outcome.has_value(); }));
    return outcome.value_or(Outcome{});
}

class LyricsService : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Probing order 5004, 5008, 5002, 5009, 5001; 5008 is line-level, 5002 word-level.
        Reply search = dataReply("search_lanterns.json");
        search.headers.append({QByteArray("Set-Cookie"), QByteArray("session=abc; Path=/")});  // never sent back
        server.setReply(searchPath, search);
        server.setReply(lyricPath, dataReply("lyric_none.json"));
        server.setReply(lyricPath, "5008", dataReply("lyric_line_level.json"));
        server.setReply(lyricPath, "5002", dataReply("lyric_word_level.json"));
    }
    std::unique_ptr<LyricsProvider> makeProvider(std::chrono::milliseconds timeout = 10s,
                                                 std::chrono::milliseconds deadline = 20s) const
    {
        return std::make_unique<LyricsProvider>(
            LyricsProvider::Options{server.baseUrl(), root.path(), timeout, rejectionsFile(), deadline});
    }
    LyricsProvider& provider() { return m_provider ? *m_provider : *(m_provider = makeProvider()); }
    Outcome lookUp(LyricsProvider* p = nullptr) { return outcomeOf((p ? *p : provider()).lookup(lanterns)); }
    QStringList lyricIdsRequested(qsizetype from = 0) const
    {
        QStringList ids;
        for (const auto& request : server.requestsFor(lyricPath).mid(from))
            ids.append(request.queryValue("id"));
        return ids;
    }
    QString rejectionsFile() const { return root.filePath("data/Zuvik/rejected.json"); }
    QString cacheFile() const { return root.filePath("Orvane/Lyrics/v5/") + cacheFileName(cacheKey(lanterns)); }
    LoopbackHttpServer server;
    QTemporaryDir root;
    LogLines log;
    std::unique_ptr<LyricsProvider> m_provider;
};

TEST_F(LyricsService, ProbesByNearestDurationAndStoresTheFirstWordLevelText)
{
    const Outcome outcome = lookUp();
    // 5004 is 0 ms off, 5008 1600, 5002 1900: a later word-level text beats an earlier line-level one.
    EXPECT_EQ(lyricIdsRequested(), (QStringList{"5004", "5008", "5002"}));
    ASSERT_TRUE(outcome.lyrics);
    EXPECT_EQ(outcome.lyrics->tier(), LyricTier::wordLevel);
    EXPECT_EQ(textsOf(outcome.lyrics->words()).join(u' '),
              "Lan terns on the water Count ing the lights, I kept your name... Oh stay Un til the morn ing comes");
    EXPECT_EQ(log.newMessages(), (QStringList{wordLevel5002}));
    QFile stored(cacheFile());
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_EQ(stored.readAll(), encodeTimedLyrics(*outcome.lyrics));
    EXPECT_FALSE(QFile::exists(rejectionsFile()));
    EXPECT_EQ(server.requests()[1].rawQuery, "id=5004&cp=false&lv=0&kv=0&tv=0&rv=0&yv=0&ytv=0&yrv=0");
    for (const auto& request : server.requests())
        EXPECT_TRUE(request.method == "GET" && !request.header("Cookie")
                    && request.header("User-Agent") == "Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7)"
                    && request.header("Referer") == server.baseUrl().toEncoded() + '/');
}

TEST_F(LyricsService, FallsBackToTheFirstLineLevelTextOnlyAfterEveryProbe)
{
    // 5008's word-level text holds no words: its line-level text stays the fallback.
    QJsonObject lineLevel = QJsonDocument::fromJson(dataReply("lyric_line_level.json").body).object();
    lineLevel["yrc"] = QJsonObject{{"lyric", "{\"t\":0,\"c\":[{\"tx\":\"作词: x\"}]}\n[0,100]"}};
    server.setReply(lyricPath, "5008", jsonReply(lineLevel));
    server.setReply(lyricPath, "5002", jsonReply({{"lrc", QJsonObject{{"lyric", "[00:01.00]a later text"}}}}));
    const Outcome outcome = lookUp();
    // Four probes at most: 5001, the fifth match, is never asked.
    EXPECT_EQ(lyricIdsRequested(), (QStringList{"5004", "5008", "5002", "5009"}));
    ASSERT_TRUE(outcome.lyrics);
    EXPECT_EQ(outcome.lyrics->tier(), LyricTier::interpolated);
    EXPECT_EQ(textsOf(outcome.lyrics->words()).join(u' '),
              "Lanterns on the water Counting the lights, I kept your name... "
              "Until the morning comes Until the morning comes End");
    // Each line shares its time with its translation, so it is squeezed to the minimum span.
    expectWords(outcome.lyrics->words().mid(3, 2),
                {word("water", 12 + 0.2 * 13 / 18, 12.2, 0), word("Counting", 15.6, 15.6 + 0.2 * 8 / 17, 2)});
    EXPECT_EQ(log.newMessages(), interpolatedFrom5008);
    EXPECT_TRUE(QFile::exists(cacheFile()));
}

// Candidates rejected in the file are left out before the four probes are counted, so 5001 is asked for.
TEST_F(LyricsService, FailedAndRejectedProbesArePassedAndNothingUsableIsAskedForAgain)
{
    RejectedCandidates(rejectionsFile()).reject(lanterns, 5009);
    server.setReply(lyricPath, "5004", Reply::withStatus(500));
    server.setReply(lyricPath, "5008", Reply::json("{\"yrc\":"));
    server.setReply(lyricPath, "5002", dataReply("lyric_none.json"));
    const Outcome outcome = lookUp();
    EXPECT_EQ(outcome.lyrics, std::nullopt);
    EXPECT_EQ(outcome.matches.at(3).id, 5009);  // still a match, only not probed
    EXPECT_EQ(lyricIdsRequested(), (QStringList{"5004", "5008", "5002", "5001"}));
    EXPECT_EQ(lookUp().lyrics, std::nullopt);
    EXPECT_EQ(server.requestsFor(searchPath).size(), 2);
    EXPECT_FALSE(QFile::exists(cacheFile()));
    const QStringList eachLookup = {httpFailure, invalidJson.arg(7), nothingUsable, noOtherMatch};
    EXPECT_EQ(log.newMessages(), eachLookup + eachLookup);
}

// A search reply, and the log lines before the last, "no candidate".
using SearchFailureCase = std::tuple<const char*, Reply, QStringList>;
class SearchFailure : public LyricsService, public ::testing::WithParamInterface<SearchFailureCase> {};

TEST_P(SearchFailure, YieldsNoCandidateWithItsLogLines)
{
    server.setReply(searchPath, std::get<Reply>(GetParam()));
    server.setReply("/moved", jsonReply(searchReplyOf({})));
    const std::unique_ptr<LyricsProvider> provider = makeProvider(300ms, 1s);
    EXPECT_EQ(lookUp(provider.get()).lyrics, std::nullopt);
    EXPECT_EQ(log.newMessages(), std::get<QStringList>(GetParam()) + QStringList{noCandidate});
    EXPECT_TRUE(server.requestsFor(lyricPath).isEmpty());
}

// A body of exactly `size` bytes that is a valid search reply without songs.
Reply paddedEmptyReply(qsizetype size, bool declareLength = true)
{
    const QByteArray body = R"({"result":{"songs":[]},"pad":")";
    return Reply{200, body + QByteArray(size - body.size() - 2, 'x') + "\"}", {}, declareLength};
}

using F = SearchFailureCase;
constexpr qsizetype eightMiB = 8 * 1024 * 1024;
const QString overCap = "lyrics: request failed — the reply is larger than 8 MiB";
// A byte every 0.1 s never trips the time-out between bytes; the whole request's deadline ends it.
const Reply dripping = Reply::dripping(QJsonDocument(searchReplyOf({})).toJson(), 100);

INSTANTIATE_TEST_SUITE_P(
    Replies, SearchFailure,
    ::testing::Values(F{"NotFound", Reply::withStatus(404), {httpFailure}},
                      F{"InvalidJson", Reply::json("{\"result\":"), {invalidJson.arg(10)}},
                      F{"TopLevelArray", Reply::json("[1,2,3]"), {}}, F{"NoResult", Reply::json("{\"code\":200}"), {}},
                      F{"NoSongs", jsonReply(searchReplyOf({})), {noneOfZero}},
                      F{"NoneOfTwoFits",
                        jsonReply(searchReplyOf({song(1, "Someone Else"), song(2, "Nobody")})),
                        {noneOf.arg(2).arg("Mara Lind & Jonas Vey — Lanterns")}},
                      F{"StallsPastTheTimeOut", Reply::stalling(), {"lyrics: request failed — the request timed out"}},
                      F{"DripsPastTheDeadline", dripping, {"lyrics: request failed — no whole reply within 1 s"}},
                      F{"DeclaresMoreThanEightMiB", paddedEmptyReply(eightMiB + 1), {overCap}},
                      F{"StreamsMoreThanEightMiB", paddedEmptyReply(eightMiB + 1, false), {overCap}},
                      F{"ExactlyEightMiBIsRead", paddedEmptyReply(eightMiB), {noneOfZero}},
                      F{"RedirectIsFollowed", Reply{302, {}, {{"Location", "/moved"}}}, {noneOfZero}}),
    [](const auto& info) { return std::string(std::get<0>(info.param)); });

// A cancelled lookup aborts its request at once, never answers, and ends without the network.

QPointer<LyricsLookup> started(LyricsLookup* lookup, bool& answered)
{
    QObject::connect(lookup, &LyricsLookup::finished, lookup, [&answered] { answered = true; });
    return lookup;
}

TEST_F(LyricsService, CancellingAbortsTheRequestInFlightAtOnceAsDoesDestroyingTheProvider)
{
    server.setReply(lyricPath, "5004", Reply::stalling());
    server.setReply(lyricPath, "5008", dataReply("lyric_word_level.json"));
    std::unique_ptr<LyricsProvider> provider = makeProvider(60s);
    bool answered = false;
    QPointer<LyricsLookup> lookup = started(provider->lookup(lanterns), answered);
    ASSERT_TRUE(waitFor([&] { return server.requestsFor(lyricPath).size() == 1; }));
    lookup->cancel();
    // Far sooner than the 60 s time-out: the abort itself closes the connection, and no later probe is sent.
    EXPECT_TRUE(waitFor([&] { return server.openConnections() == 0 && lookup.isNull(); }, 10s));
    EXPECT_EQ(lyricIdsRequested(), QStringList{"5004"});
    EXPECT_EQ(log.newMessages(), (QStringList{cancelled, cancelled, cancelled, cancelled, nothingUsable}));
    EXPECT_FALSE(QFile::exists(cacheFile()));
    server.setReply(searchPath, Reply::stalling());
    lookup = started(provider->lookup(lanterns), answered);
    ASSERT_TRUE(waitFor([&] { return server.openConnections() == 1; }));
    provider.reset();
    EXPECT_TRUE(lookup.isNull());
    EXPECT_TRUE(waitFor([&] { return server.openConnections() == 0; }, 10s));
    EXPECT_FALSE(answered);
}

// A rejected match never comes back for the track, also after a restart: it is kept for the next run.
TEST_F(LyricsService, RejectionOfAKnownCandidateOrOfCachedLyricsTriesTheOthersAndIsKeptForTheNextRun)
{
    const Outcome wrong = lookUp();
    ASSERT_EQ(wrong.origin.candidate.id, 5002);
    const std::unique_ptr<LyricsProvider> restarted = makeProvider();
    const Outcome cached = lookUp(restarted.get());
    ASSERT_EQ(cached.origin.kind, LyricsOrigin::Kind::cache);
    qsizetype before = lyricIdsRequested().size();
    const LogLines afterWrong;
    const Outcome retried = outcomeOf(provider().retry(lanterns, wrong.origin, *wrong.lyrics));
    EXPECT_EQ(lyricIdsRequested(before), (QStringList{"5004", "5008", "5009", "5001"}));
    ASSERT_TRUE(retried.lyrics);
    EXPECT_EQ(retried.origin.kind, LyricsOrigin::Kind::service);
    EXPECT_EQ(retried.origin.candidate.id, 5008);
    EXPECT_EQ(RejectedCandidates(rejectionsFile()).rejectedFor(lanterns), QSet<std::int64_t>{5002});
    // Cached lyrics: the wrong text is fetched once more to learn whose it is, without costing the others a probe.
    before = lyricIdsRequested().size();
    const Outcome retriedCached = outcomeOf(restarted->retry(lanterns, cached.origin, *cached.lyrics));
    EXPECT_EQ(lyricIdsRequested(before), (QStringList{"5004", "5008", "5002", "5009", "5001"}));
    EXPECT_EQ(retriedCached.origin.candidate.id, 5008);
    const QStringList eachRetry = QStringList{rejected5002} + interpolatedFrom5008;
    EXPECT_EQ(afterWrong.newMessages(), eachRetry + eachRetry);
    EXPECT_EQ(RejectedCandidates(rejectionsFile()).rejectedFor(lanterns), QSet<std::int64_t>{5002});
}

TEST_F(LyricsService, RejectionOfTheLastMatchShowsNothingAndSaysSoThenAndLater)
{
    server.setReply(searchPath, jsonReply(searchReplyOf({song(7001, "Mara Lind")})));
    server.setReply(lyricPath, "7001", dataReply("lyric_word_level.json"));
    const Outcome wrong = lookUp();
    ASSERT_EQ(wrong.origin.candidate.id, 7001);
    const LogLines afterWrong;
    const Outcome retried = outcomeOf(provider().retry(lanterns, wrong.origin, *wrong.lyrics));
    const Outcome later = lookUp();
    EXPECT_EQ(retried.lyrics, std::nullopt);
    EXPECT_TRUE(retried.origin.noOtherMatch);
    EXPECT_TRUE(later.origin.noOtherMatch);
    EXPECT_EQ(lyricIdsRequested(), QStringList{"7001"});
    EXPECT_FALSE(QFile::exists(cacheFile()));
    EXPECT_EQ(afterWrong.newMessages(),
              (QStringList{"lyrics: rejected ncm 7001 \"Lanterns\" by Mara Lind for Mara Lind & Jonas Vey — Lanterns",
                           noOtherMatch, noOtherMatch}));
}

// LRCLIB and the service on one server: the service knows nothing of the track unless a test says so.
const QString getPath = "/api/get", recordsPath = "/api/search";
const QString lineLevel77 = "lyrics: line-level via lrclib 77 \"Lanterns\" by Mara Lind & Jonas Vey (20 words)";
const QStringList ncmKnowsNothing = {noneOfZero, noCandidate};
Reply recordReply(const std::function<void(QJsonObject&)>& change)
{
    QJsonObject record = QJsonDocument::fromJson(dataReply("lrclib_get_lanterns.json").body).object();
    change(record);
    return jsonReply(record);
}

struct SourceCase {
    const char* name;
    QList<LyricSource> sources;
    std::optional<Reply> get, search;  // none: 404
    QStringList paths, log;  // requested and logged, in order
    std::int64_t from = 0;  // the LRCLIB record shown; 0: nothing is
};

// A second between bytes, so that a busy machine does not fail the requests meant to pass.
class Sources : public LyricsService, public ::testing::WithParamInterface<SourceCase> {
protected:
    std::unique_ptr<LyricsProvider> makeProvider(QList<LyricSource> sources)
    {
        server.setReply(searchPath, jsonReply(searchReplyOf({})));
        return std::make_unique<LyricsProvider>(LyricsProvider::Options{
            server.baseUrl(), root.path(), 1s, rejectionsFile(), 3s, server.baseUrl(), std::move(sources)});
    }
};

TEST_P(Sources, AreAskedInOrderUntilOneGivesLyrics)
{
    const SourceCase& c = GetParam();
    for (const auto& [path, reply] : {std::pair(getPath, c.get), std::pair(recordsPath, c.search)})
        server.setReply(path, reply.value_or(Reply::withStatus(404)));
    const std::unique_ptr<LyricsProvider> provider = makeProvider(c.sources);
    const Outcome outcome = lookUp(provider.get());
    QStringList paths;
    for (const auto& request : server.requests()) {
        paths.append(request.path);
        const QString agent = QString::fromUtf8(request.header("User-Agent").value_or(""));
        EXPECT_TRUE(request.path == searchPath
                    || QRegularExpression(R"(^Zuvik v\d+\.\d+\.\d+ \(https?://\S+\)$)").match(agent).hasMatch());
    }
    EXPECT_EQ(paths, c.paths);
    EXPECT_EQ(log.newMessages(), (c.sources[0] == LyricSource::ncm ? ncmKnowsNothing : QStringList()) + c.log);
    EXPECT_EQ(outcome.lyrics.has_value(), c.from != 0);
    EXPECT_EQ(outcome.origin.candidate.id, c.from);
    if (!c.paths.contains(getPath))
        return;
    EXPECT_EQ(server.requestsFor(getPath)[0].rawQuery,
              "track_name=Lanterns&artist_name=Mara%20Lind%20%26%20Jonas%20Vey&duration=215");
}

const Reply record77 = dataReply("lrclib_get_lanterns.json"), records = dataReply("lrclib_search_lanterns.json");
const Reply instrumental = recordReply([](QJsonObject&r) { r["instrumental"] = true; }),
            plainOnly = recordReply([](QJsonObject&r) { r["syncedLyrics"] = QJsonValue(); });
const QString wordLevel73 = "lyrics: word-level via lrclib 73 \"Lanterns (Harbour Session)\" by Mara Lind (15 words)",
              instrumentalLine = "lyrics: instrumental per lrclib: Mara Lind & Jonas Vey — Lanterns",
              plainLine = "lyrics: lrclib has only plain lyrics for Mara Lind & Jonas Vey — Lanterns",
              notARecord = "lyrics: request failed — the lrclib reply is not a record";
const QStringList ncmThenGet = {searchPath, getPath}, searchToo = {searchPath, getPath, recordsPath},
                  line77 = {interpolatedFrom5008[0], lineLevel77};
using S = SourceCase;
using L = QList<LyricSource>;
const L both = {LyricSource::ncm, LyricSource::lrclib};
// The service's own lines ("none matched", "no candidate") come first whenever it is asked first.
INSTANTIATE_TEST_SUITE_P(
    Lrclib, Sources,
    ::testing::Values(
        S{"GetHit", both, record77, {}, ncmThenGet, line77, 77},
        S{"SearchSkipsTheWrongLengthAndArtist", both, {}, records, searchToo, {wordLevel73}, 73},
        S{"Instrumental", both, instrumental, records, ncmThenGet, {instrumentalLine}},
        S{"PlainOnly", both, plainOnly, records, ncmThenGet, {plainLine}},
        S{"ServerError", both, Reply::withStatus(500), records, ncmThenGet, {httpFailure}},
        S{"Junk", both, Reply::json("{\"id\":"), records, ncmThenGet, {invalidJson.arg(6)}},
        S{"NotARecord", both, Reply::json("[]"), records, ncmThenGet, {notARecord}},
        S{"Stalls", both, Reply::stalling(), records, ncmThenGet, {"lyrics: request failed — the request timed out"}},
        S{"LrclibFirst", L{LyricSource::lrclib, LyricSource::ncm}, record77, {}, {getPath}, line77, 77},
        S{"LrclibOnly", L{LyricSource::lrclib}, {}, {}, {getPath, recordsPath}, {httpFailure}},
        S{"NcmOnly", L{LyricSource::ncm}, record77, {}, {searchPath}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Sources, TheCacheAnswersNextAndRejectionsMoveOnAcrossSources)
{
    server.setReply(getPath, record77);
    server.setReply(recordsPath, records);
    std::unique_ptr<LyricsProvider> provider = makeProvider(both);
    server.setReply(searchPath, jsonReply(searchReplyOf({song(7001, "Mara Lind")})));
    server.setReply(lyricPath, "7001", dataReply("lyric_word_level.json"));
    Outcome shown = lookUp(provider.get());
    const QString synced = QJsonDocument::fromJson(record77.body)["syncedLyrics"].toString();
    for (const std::int64_t next : {77, 77, 73, 74}) {
        if (next == 77 && shown.origin.candidate.id == 77) {  // a restart: the cache answers, and knows whose
            const qsizetype requests = server.requests().size();
            provider = makeProvider(both);
            server.setReply(searchPath, jsonReply(searchReplyOf({song(7001, "Mara Lind")})));
            shown = lookUp(provider.get());
            EXPECT_EQ(server.requests().size(), requests);
            EXPECT_TRUE(shown.origin.kind == LyricsOrigin::Kind::cache && shown.origin.candidateKnown);
            expectWords(shown.lyrics.value_or(TimedLyrics()).words(),
                        dropTranslationLines(parseLineLevel(synced), lanterns.title, lanterns.artist));
            continue;
        }
        shown = outcomeOf(provider->retry(lanterns, shown.origin, *shown.lyrics));
        EXPECT_EQ(shown.origin.candidate.id, next);
        EXPECT_EQ(shown.origin.candidate.source, LyricSource::lrclib);
    }
    EXPECT_EQ(textsOf(shown.lyrics->words()).join(u' '), "a later record");
    EXPECT_EQ(RejectedCandidates(rejectionsFile()).rejectedFor(lanterns, LyricSource::lrclib),
              (QSet<std::int64_t>{77, 73}));
    EXPECT_EQ(RejectedCandidates(rejectionsFile()).rejectedFor(lanterns), QSet<std::int64_t>{7001});
}

}  // namespace
