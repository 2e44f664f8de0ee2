// The query's streak logging, error reports and timing, run against the osascript backend with
// a fake osascript program first on PATH.
#include "PlaybackTestSupport.h"

#include "FakeOsascript.h"
#include "QuerySupport.h"

#include "platform/PlayerBackends.h"
#include "platform/osascript/OsascriptScriptHost.h"

#include <QTemporaryDir>

#include <mutex>

namespace {

const char* const spotifyReply = "spotify\tTitle\tArtist\t215.0\t12.5\ttrue";

class Query : public ::testing::Test {
protected:
    WithQtApplication app;  // the query thread runs an event loop
    FakeOsascript osascript;
    LogLines log;
    PlayerQuery query{&OsascriptScriptHost::create};
};

}  // namespace

TEST_F(Query, AnEmptyStreakIsLoggedOnceAndTheFirstReplyAfterIt)
{
    osascript.reply("");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(runQuery(query), std::nullopt);
    osascript.reply(spotifyReply);
    const std::optional<PlayerSample> sample = runQuery(query);
    ASSERT_TRUE(sample);
    EXPECT_EQ(sample->title, "Title");
    EXPECT_EQ(sample->duration, 215);
    runQuery(query);
    EXPECT_EQ(log.lines(), (QStringList{"player query returned empty — nothing playing in Spotify or Music",
                                        QStringLiteral("player query: ") + spotifyReply}));
}

TEST_F(Query, AReplyWithoutAnEmptyStreakBeforeItIsNotLogged)
{
    osascript.reply(spotifyReply);
    EXPECT_TRUE(runQuery(query));
    EXPECT_EQ(log.lines(), QStringList());
}

struct FailureCase {
    const char* name;
    const char* standardError;
    QStringList logged;
};

class QueryFailure : public Query, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(QueryFailure, IsLoggedOncePerStreakAndAgainAfterASuccess)
{
    osascript.fail(GetParam().standardError);
    EXPECT_EQ(runQuery(query), std::nullopt);
    EXPECT_EQ(runQuery(query), std::nullopt);
    osascript.reply(spotifyReply);
    EXPECT_TRUE(runQuery(query));
    osascript.fail(GetParam().standardError);
    EXPECT_EQ(runQuery(query), std::nullopt);
    EXPECT_EQ(log.lines(), GetParam().logged + GetParam().logged);
}

INSTANTIATE_TEST_SUITE_P(
    Query, QueryFailure,
    ::testing::Values(
        FailureCase{"automation_refused",
                    "27:155: execution error: Not authorized to send Apple events to Spotify. (-1743)\n",
                    {"AppleScript failed (-1743): Not authorized to send Apple events to Spotify.",
                     "-1743 = Apple Events not permitted. Check that the binary carries "
                     "com.apple.security.automation.apple-events, then check System Settings > Privacy & Security > "
                     "Automation."}},
        FailureCase{"player_gone", "94:112: execution error: Spotify got an error: Can’t get current track. (-1728)\n",
                    {"AppleScript failed (-1728): Spotify got an error: Can’t get current track."}},
        FailureCase{"no_number", "osascript: crashed\n", {"AppleScript failed (0): osascript: crashed"}},
        FailureCase{"nothing_said", "", {"AppleScript failed (0): unknown"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QueryWithoutHost, LogsOnceAndYieldsNothing)
{
    ensureQtApplication();
    QTemporaryDir emptyFolder;
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(emptyFolder.path()));
    LogLines log;
    {
        PlayerQuery query(&OsascriptScriptHost::create);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(runQuery(query), std::nullopt);
    }
    qputenv("PATH", oldPath);
    EXPECT_EQ(log.lines(), QStringList{"AppleScript source failed to compile"});
}

TEST(QueryTiming, TheSampleIsDatedToTheMiddleOfTheRun)
{
    ensureQtApplication();
    FakeOsascript osascript;
    osascript.reply(spotifyReply);
    std::mutex mutex;
    QList<QDateTime> readings{at(0), at(1.25), at(10), at(10.001)};
    PlayerQuery query(&OsascriptScriptHost::create, [&] {
        std::lock_guard lock(mutex);
        return readings.takeFirst();
    });
    EXPECT_EQ(runQuery(query)->sampledAt, at(0.625));
    EXPECT_EQ(runQuery(query)->sampledAt, at(10));  // half a millisecond is below the clock's grain
}

TEST(QueryOrder, RunsAnswerOnceEachInTheOrderAsked)
{
    ensureQtApplication();
    FakeOsascript osascript;
    osascript.reply(spotifyReply);
    osascript.setDelay(0.05);
    std::mutex mutex;
    QList<int> answered;
    {
        PlayerQuery query(&OsascriptScriptHost::create);
        for (int i = 0; i < 6; ++i)
            query.run([&, i](std::optional<PlayerSample> sample) {
                std::lock_guard lock(mutex);
                answered << (sample ? i : -1);
            });
    }  // destruction lets the runs already asked for finish
    EXPECT_EQ(answered, (QList<int>{0, 1, 2, 3, 4, 5}));
}

TEST(QueryScript, IsSentAsOneTextWithFourSpaceIndentsAndLineFeeds)
{
    ensureQtApplication();
    FakeOsascript osascript;
    osascript.reply("");
    PlayerQuery query(&OsascriptScriptHost::create);
    runQuery(query);
    const QString script = osascript.lastScript();
    ASSERT_TRUE(script.startsWith("set out to \"\"\n"));
    EXPECT_FALSE(script.contains(u'\r'));
    EXPECT_FALSE(script.contains(u'\t'));
    for (const QString& line : script.split(u'\n')) {
        const qsizetype indent = line.size() - line.trimmed().size();
        EXPECT_EQ(indent % 4, 0) << line.toStdString();
    }
    // Spotify is asked first and its milliseconds divided; Music only when Spotify gave nothing.
    const qsizetype spotify = script.indexOf("tell application \"Spotify\"");
    const qsizetype music = script.indexOf("if out is \"\" and application \"Music\" is running then");
    ASSERT_TRUE(spotify >= 0 && music > spotify);
    EXPECT_TRUE(script.indexOf("(duration of current track) / 1000") < music);
    EXPECT_EQ(script.count("/ 1000"), 1);
    EXPECT_TRUE(script.trimmed().endsWith("return out"));
}

TEST(QueryBackend, TheFactoryHonoursARequestAndSaysWhichItChose)
{
    ensureQtApplication();
    FakeOsascript osascript;
    osascript.reply(spotifyReply);
    qputenv("ZUVIK_PLAYER_BACKEND", "osascript");
    LogLines log;
    {
        PlayerQuery query(&makePlayerScriptHost);
        EXPECT_TRUE(runQuery(query));
    }
    qunsetenv("ZUVIK_PLAYER_BACKEND");
    EXPECT_EQ(log.lines(), QStringList{"player query: using the osascript backend"});
}
