// The query against the osascript backend, with a fake osascript program first on PATH.
#include "FakeOsascript.h"
#include "QuerySupport.h"

#include "platform/PlayerBackends.h"
#include "platform/osascript/OsascriptPlayerSource.h"

#include <QTemporaryDir>

#include <mutex>

namespace {

const char* const spotifyReply = "spotify\tTitle\tArtist\t215.0\t12.5\ttrue";

class Query : public ::testing::Test {
protected:
    FakeOsascript osascript;
    LogLines log;
    PlayerQuery query{&OsascriptPlayerSource::create};
};

}  // namespace

TEST_F(Query, AnEmptyStreakIsLoggedOnceAndTheFirstReplyAfterIt)
{
    osascript.reply(spotifyReply);
    EXPECT_TRUE(runQuery(query));  // no streak before it: not logged
    osascript.reply("");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(runQuery(query), std::nullopt);
    osascript.reply(spotifyReply);
    const std::optional<PlayerSample> sample = runQuery(query);
    EXPECT_TRUE(sample && sample->title == "Title" && sample->duration == 215);
    runQuery(query);
    EXPECT_EQ(log.newMessages(), (QStringList{"player query returned empty — nothing playing in Spotify or Music",
                                              QStringLiteral("player query: ") + spotifyReply}));
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
    EXPECT_EQ(log.newMessages(), GetParam().logged + GetParam().logged);
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
        FailureCase{"no_number", "osascript: crashed\n", {"AppleScript failed (0): osascript: crashed"}},
        FailureCase{"nothing_said", "", {"AppleScript failed (0): unknown"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Query, TheSampleIsDatedToTheMiddleOfTheRunAndRunsAnswerInOrder)
{
    osascript.reply(spotifyReply);
    std::mutex mutex;
    QList<QDateTime> readings{at(0), at(1.25), at(10), at(10.001)};
    PlayerQuery timed(&OsascriptPlayerSource::create, [&] {
        std::lock_guard lock(mutex);
        return readings.takeFirst();
    });
    EXPECT_EQ(runQuery(timed)->sampledAt, at(0.625));
    EXPECT_EQ(runQuery(timed)->sampledAt, at(10));  // half a millisecond is below the clock's grain

    // Runs answer once each, in the order asked.
    osascript.setDelay(0.05);
    QList<int> answered;
    {
        PlayerQuery queue(&OsascriptPlayerSource::create);
        for (int i = 0; i < 6; ++i)
            queue.run([&, i](std::optional<PlayerSample> sample) {
                std::lock_guard lock(mutex);
                answered << (sample ? i : -1);
            });
    }  // destruction lets the runs already asked for finish
    EXPECT_EQ(answered, (QList<int>{0, 1, 2, 3, 4, 5}));
}

// The fake cannot run AppleScript, so the script's text is checked: Music is asked only when Spotify gave nothing.
TEST_F(Query, DividesOnlySpotifysDurationAndAsksMusicSecondAndIsChosenOnRequest)
{
    osascript.reply("");
    runQuery(query);
    const QString script = osascript.lastScript();
    const qsizetype music = script.indexOf("if out is \"\" and application \"Music\" is running then");
    ASSERT_GT(music, script.indexOf("tell application \"Spotify\""));
    EXPECT_LT(script.indexOf("(duration of current track) / 1000"), music);
    EXPECT_EQ(script.count("/ 1000"), 1);
    // The factory honours a request and says which backend it chose.
    osascript.reply(spotifyReply);
    const LogLines chosenLog;
    qputenv("ZUVIK_PLAYER_BACKEND", "osascript");
    {
        PlayerQuery chosen([] { return makePlayerSource(PlayerRoster::shared()); });
        EXPECT_TRUE(runQuery(chosen));
    }
    qunsetenv("ZUVIK_PLAYER_BACKEND");
    // Without osascript on PATH the query logs once and yields nothing.
    QTemporaryDir emptyFolder;
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(emptyFolder.path()));
    {
        PlayerQuery withoutSource(&OsascriptPlayerSource::create);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(runQuery(withoutSource), std::nullopt);
    }
    qputenv("PATH", oldPath);
    EXPECT_EQ(chosenLog.newMessages(),
              (QStringList{"player query: using the osascript backend", "AppleScript source failed to compile"}));
}
