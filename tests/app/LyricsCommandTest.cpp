// The `zuvik lyrics` command, run as the built executable against a loopback lyrics service.
#include "EventLoopWait.h"
#include "LoopbackHttpServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using Reply = LoopbackHttpServer::Reply;

QByteArray dataFile(const char* name)
{
    QFile file(QStringLiteral(ZUVIK_LYRICS_TEST_DATA "/") + QString::fromUtf8(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

struct Finished {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

class LyricsCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        server.setReply(QStringLiteral("/api/search/get"), Reply::json(dataFile("search_lanterns.json")));
        server.setReply(QStringLiteral("/api/song/lyric/v1"), Reply::json(dataFile("lyric_none.json")));
        server.setReply(QStringLiteral("/api/song/lyric/v1"), QStringLiteral("5004"), Reply::json(dataFile("lyric_word_level.json")));
    }

    // Runs zuvik without blocking the event loop the server answers on.
    Finished zuvik(const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("ZUVIK_LYRICS_BASE_URL"), server.baseUrl().toString());
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), folder.filePath(QStringLiteral("cache")));
        environment.insert(QStringLiteral("XDG_STATE_HOME"), folder.filePath(QStringLiteral("state")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), folder.filePath(QStringLiteral("data")));
        // No running copy to reach: the session bus, if any, is a private one that nobody serves.
        environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})  // as over SSH
            environment.remove(QString::fromLatin1(name));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(ZUVIK_EXECUTABLE), arguments);
        EXPECT_TRUE(waitFor([&] { return process.state() == QProcess::NotRunning; }));
        return Finished{process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
    }

    QByteArray logFile() const
    {
        QFile file(folder.filePath(QStringLiteral("state/Zuvik/Zuvik.log")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    const QStringList lanterns{"lyrics", "--artist", "Mara Lind & Jonas Vey", "--title", "Lanterns", "--duration", "214.6"};
    LoopbackHttpServer server;
    QTemporaryDir folder;
};

TEST_F(LyricsCommand, PrintsTheTimedLinesAndAnswersTheSecondRunFromDisk)
{
    const QByteArray lines = "[00:12.00] Lan terns on the water\n"
                             "[00:15.60] Count ing the lights,\n"
                             "[00:19.10] I kept your name...\n"
                             "[00:23.50] Oh stay\n"
                             "[00:26.40] Un til the morn ing\n"
                             "[00:29.60] comes\n";
    const Finished first = zuvik(lanterns);
    const qsizetype requests = server.requests().size();
    const Finished second = zuvik(lanterns);

    EXPECT_EQ(first.status, 0);
    EXPECT_EQ(first.out, lines);
    EXPECT_TRUE(first.err.contains("[Zuvik] lyrics: word-level via ncm 5004 \"Lanterns (Remastered)\" by Mara Lind/Guest Player (21 words)\n"))
        << first.err.toStdString();
    EXPECT_EQ(second.status, 0);
    EXPECT_EQ(second.out, lines);
    EXPECT_TRUE(second.err.contains("[Zuvik] lyrics: cache hit (wordLevel, 21 words)\n"));
    EXPECT_EQ(server.requests().size(), requests);
    // The same lines reach the log file, as the application's do.
    EXPECT_TRUE(logFile().contains("  lyrics: cache hit (wordLevel, 21 words)\n"));
}

TEST_F(LyricsCommand, JsonIsTheStoredDocumentOnOneLine)
{
    const Finished run = zuvik(lanterns + QStringList{"--json"});

    EXPECT_EQ(run.status, 0);
    const QStringList files = QDir(folder.filePath(QStringLiteral("cache/Orvane/Lyrics/v5"))).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(files[0].startsWith(QStringLiteral("Mara_Lind___Jonas_Vey_Lanterns_215-"))) << files[0].toStdString();
    QFile file(folder.filePath(QStringLiteral("cache/Orvane/Lyrics/v5/") + files[0]));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(run.out, file.readAll() + '\n');
    EXPECT_EQ(run.out.count('\n'), 1);
}

TEST_F(LyricsCommand, NoLyricsExitsWithOne)
{
    server.setReply(QStringLiteral("/api/search/get"), Reply::withStatus(404));
    const Finished run = zuvik(lanterns);

    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains("[Zuvik] lyrics: HTTP failure for 127.0.0.1\n"));
}

// 8 MB of "[00:01.00]a a a …" would be four million words: gigabytes, and half a minute.
TEST_F(LyricsCommand, AWordBombIsCutToWhatASongCanHold)
{
    const QByteArray line = "[00:01.00]" + QByteArray("a ").repeated(2000) + '\n';
    const QByteArray bomb = line.repeated(8'000'000 / line.size());
    const QJsonObject reply{{"lrc", QJsonObject{{"lyric", QString::fromLatin1(bomb)}}}};
    server.setReply(QStringLiteral("/api/song/lyric/v1"), QStringLiteral("5004"), Reply::json(QJsonDocument(reply).toJson()));

    const Finished run = zuvik(lanterns);

    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    const qsizetype words = run.out.count(" a");
    EXPECT_GT(words, 1000);
    EXPECT_LE(words, 5000);
    EXPECT_TRUE(run.err.contains("[Zuvik] lyrics: the text holds more than a song — kept ")) << run.err.left(2000).toStdString();
    const QFileInfoList files = QDir(folder.filePath(QStringLiteral("cache/Orvane/Lyrics/v5"))).entryInfoList(QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_LT(files[0].size(), 1024 * 1024);
}

// A still of a track with no lyrics ends as soon as the lookup has answered, not after its wait.
TEST_F(LyricsCommand, AStillOfATrackWithoutLyricsFailsAtOnce)
{
    server.setReply(QStringLiteral("/api/search/get"), Reply::withStatus(404));
    const Finished run = zuvik({"--render-frame", folder.filePath(QStringLiteral("still.png")), "--at", "1", "--artist",
                                "Mara Lind", "--title", "Lanterns"});

    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains("zuvik: no lyrics for \"Lanterns\" by \"Mara Lind\"")) << run.err.toStdString();
}

TEST_F(LyricsCommand, CandidatesListsTheSearchInReplyOrderWithWhatBecameOfEach)
{
    // 5008 was sent away earlier; 5004 gives the lyrics; the reply's 5007 is malformed and left out.
    QDir().mkpath(folder.filePath(QStringLiteral("data/Zuvik")));
    QFile rejected(folder.filePath(QStringLiteral("data/Zuvik/rejected.json")));
    ASSERT_TRUE(rejected.open(QIODevice::WriteOnly));
    rejected.write("{\"version\": 1, \"rejected\": {\"lanterns\\tmara lind jonas vey\\t215\": [\"5008\"]}}");
    rejected.close();

    const Finished run = zuvik(lanterns + QStringList{"--candidates"});

    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "id\tname\tartists\tduration\tstatus\n"
                       "5001\tLanterns (Live)\tMara Lind\t3:35.0\tmatch\n"
                       "5002\tLanterns\tJonas Vey\t3:36.5\tmatch\n"
                       "5003\tLanterns\tOther Person\t3:34.6\tno match\n"
                       "5004\tLanterns (Remastered)\tMara Lind, Guest Player\t3:34.6\tchosen\n"
                       "5005\tLanternsong\tMara Lind\t3:34.6\tno match\n"
                       "5006\tLanterns\tMara Lind\t3:38.6\tno match\n"
                       "5008\tLanterns - Acoustic Version\tMara Lind\t3:33.0\trejected\n"
                       "5009\tLanterns\tMara Lind\t3:37.6\tmatch\n")
        << run.out.toStdString();
}

// A link in the cache is replaced, never written through (as root that overwrote a system file);
// FIFOs as the cache file, the rejections and the log are passed over instead of waited on.
TEST_F(LyricsCommand, KeptFilesThatAreLinksOrFifosAreNotWrittenThroughOrWaitedOn)
{
    ASSERT_EQ(zuvik(lanterns).status, 0);
    const QDir cache(folder.filePath(QStringLiteral("cache/Orvane/Lyrics/v5")));
    const QString cached = cache.filePath(cache.entryList(QDir::Files).value(0));
    const QString target = folder.filePath(QStringLiteral("system-file"));
    const auto makeFifo = [](const QString& path) { return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0; };
    QFile system(target);
    ASSERT_TRUE(system.open(QIODevice::WriteOnly) && system.write("precious") == 8);
    system.close();
    ASSERT_TRUE(QFile::remove(cached) && QFile::link(target, cached));
    ASSERT_TRUE(QDir().mkpath(folder.filePath(QStringLiteral("data/Zuvik"))));
    ASSERT_TRUE(makeFifo(folder.filePath(QStringLiteral("data/Zuvik/rejected.json"))));
    ASSERT_TRUE(QFile::remove(folder.filePath(QStringLiteral("state/Zuvik/Zuvik.log"))));
    ASSERT_TRUE(makeFifo(folder.filePath(QStringLiteral("state/Zuvik/Zuvik.log"))));

    EXPECT_EQ(zuvik(lanterns).status, 0);
    ASSERT_TRUE(system.open(QIODevice::ReadOnly));
    EXPECT_EQ(system.readAll(), "precious");
    EXPECT_FALSE(QFileInfo(cached).isSymLink());
    ASSERT_TRUE(QFile::remove(cached) && makeFifo(cached));
    EXPECT_EQ(zuvik(lanterns + QStringList{"--candidates"}).status, 0);
    EXPECT_EQ(zuvik(lanterns).status, 0);
    EXPECT_TRUE(QFileInfo(cached).isFile());
}

TEST_F(LyricsCommand, RejectWithoutARunningCopySaysSo)
{
    const Finished run = zuvik({"lyrics", "--reject"});

    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.startsWith("zuvik lyrics: ")) << run.err.toStdString();
    EXPECT_TRUE(server.requests().isEmpty());
}

struct BadCase {
    const char* name;
    QStringList arguments;
};

class LyricsCommandArguments : public LyricsCommand, public ::testing::WithParamInterface<BadCase> {};

TEST_P(LyricsCommandArguments, BadOnesExitWithTwoAndLookNothingUp)
{
    const Finished run = zuvik(QStringList{"lyrics"} + GetParam().arguments);

    EXPECT_EQ(run.status, 2) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.startsWith("zuvik lyrics: ")) << run.err.toStdString();
    EXPECT_TRUE(server.requests().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, LyricsCommandArguments,
    ::testing::Values(BadCase{"Nothing", {}}, BadCase{"NoTitle", {"--artist", "A"}}, BadCase{"NoArtist", {"--title", "T"}},
                      BadCase{"TitleWithoutValue", {"--artist", "A", "--title"}},
                      BadCase{"DurationNotANumber", {"--artist", "A", "--title", "T", "--duration", "long"}},
                      BadCase{"DurationNaN", {"--artist", "A", "--title", "T", "--duration", "nan"}},
                      BadCase{"DurationInfinite", {"--artist", "A", "--title", "T", "--duration", "inf"}},
                      BadCase{"DurationNegative", {"--artist", "A", "--title", "T", "--duration", "-200"}},
                      BadCase{"DurationZero", {"--artist", "A", "--title", "T", "--duration", "0"}},
                      BadCase{"DurationBeyondADay", {"--artist", "A", "--title", "T", "--duration", "1e308"}},
                      BadCase{"UnknownOption", {"--artist", "A", "--title", "T", "--colour", "red"}},
                      BadCase{"StrayArgument", {"--artist", "A", "--title", "T", "extra"}},
                      BadCase{"RejectWithATrack", {"--reject", "--artist", "A", "--title", "T"}},
                      BadCase{"RejectWithCandidates", {"--reject", "--candidates"}},
                      BadCase{"CandidatesWithoutTitle", {"--candidates", "--artist", "A"}},
                      BadCase{"CandidatesAsJson", {"--artist", "A", "--title", "T", "--candidates", "--json"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
