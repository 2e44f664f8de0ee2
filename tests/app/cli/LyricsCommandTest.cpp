// `zuvik lyrics`, `zuvik visual` and a still of a track against a loopback lyrics service.
#include "../TerminalRun.h"
#include "LoopbackHttpServer.h"
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using namespace terminal_run;
using Reply = LoopbackHttpServer::Reply;

QByteArray dataFile(const char* name)
{
    QFile file(QStringLiteral(ZUVIK_LYRICS_TEST_DATA "/") + QString::fromUtf8(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

class LyricsCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        server.setReply(QStringLiteral("/api/search/get"), Reply::json(dataFile("search_lanterns.json")));
        server.setReply(QStringLiteral("/api/song/lyric/v1"), Reply::json(dataFile("lyric_none.json")));
        server.setReply(QStringLiteral("/api/song/lyric/v1"), QStringLiteral("5004"),
                        Reply::json(dataFile("lyric_word_level.json")));
    }

    Outcome zuvik(const QStringList& arguments)
    {
        QProcessEnvironment environment = withoutDisplay(QProcessEnvironment::systemEnvironment());
        for (const char* source : {"ZUVIK_LYRICS_BASE_URL", "ZUVIK_LRCLIB_BASE_URL"})
            environment.insert(QString::fromLatin1(source), server.baseUrl().toString());
        for (const char* kind : {"CACHE", "STATE", "DATA", "CONFIG"})
            environment.insert(QStringLiteral("XDG_%1_HOME").arg(kind), path(QString::fromLatin1(kind).toLower()));
        environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));  // no running copy to reach
        return runZuvik(arguments, environment);
    }

    QString path(const QString& name) const { return folder.filePath(name); }
    bool makeFifo(const QString& name) const { return ::mkfifo(QFile::encodeName(path(name)).constData(), 0644) == 0; }

    const QStringList lanterns{"lyrics",     "--artist", "Mara Lind & Jonas Vey", "--title", "Lanterns",
                               "--duration", "214.6"};
    LoopbackHttpServer server;
    QTemporaryDir folder;
};

TEST_F(LyricsCommand, PrintsTheTimedLinesAndAnswersTheSecondRunFromDisk)
{
    const QString lines = "[00:12.00] Lan terns on the water\n[00:15.60] Count ing the lights,\n"
                          "[00:19.10] I kept your name...\n[00:23.50] Oh stay\n[00:26.40] Un til the morn ing\n"
                          "[00:29.60] comes\n";
    // A FIFO as the rejections file is passed over, not waited on.
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("data/Zuvik")))
                && makeFifo(QStringLiteral("data/Zuvik/rejected.json")));
    const Outcome first = zuvik(lanterns);
    const qsizetype requests = server.requests().size();
    const Outcome second = zuvik(lanterns);
    EXPECT_EQ(first.status, 0);
    EXPECT_EQ(first.out, lines);
    EXPECT_TRUE(first.err.contains(
        "[Zuvik] lyrics: word-level via ncm 5004 \"Lanterns (Remastered)\" by Mara Lind/Guest Player (21 words)\n"))
        << first.err.toStdString();
    EXPECT_EQ(second.out, lines);
    EXPECT_EQ(server.requests().size(), requests);
    QFile log(path(QStringLiteral("state/Zuvik/Zuvik.log")));  // the log file has the lines as well
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("  lyrics: cache hit (wordLevel, 21 words)\n"));

    const Outcome json = zuvik(lanterns + QStringList{"--json"});  // the stored document, on one line
    const QFileInfoList cached = QDir(path(QStringLiteral("cache/Orvane/Lyrics/v5"))).entryInfoList(QDir::Files);
    QFile stored(cached.value(0).filePath());
    ASSERT_TRUE(cached.size() == 1 && stored.open(QIODevice::ReadOnly));
    EXPECT_EQ(json.out.toUtf8(), stored.readAll() + '\n');
    EXPECT_EQ(json.out.count(u'\n'), 1);
}

TEST_F(LyricsCommand, NoLyricsFailsAndSoDoesAStillOfThemAtOnce)
{
    server.setReply(QStringLiteral("/api/search/get"), Reply::withStatus(404));
    const Outcome run = zuvik(lanterns);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains("[Zuvik] lyrics: HTTP failure for 127.0.0.1\n"));
    const Outcome still = zuvik({"--render-frame", path(QStringLiteral("still.png")), "--at", "1", "--artist",
                                 "Mara Lind", "--title", "Lanterns"});
    EXPECT_EQ(still.status, 1);
    EXPECT_TRUE(still.err.contains("zuvik: no lyrics for \"Lanterns\" by \"Mara Lind\"")) << still.err.toStdString();
}

TEST_F(LyricsCommand, CandidatesListsTheSearchInReplyOrderWithWhatBecameOfEach)
{
    // 5008 was sent away earlier; the reply's 5007 is malformed; a FIFO as the log file is passed over.
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("state/Zuvik")))
                && makeFifo(QStringLiteral("state/Zuvik/Zuvik.log")));
    QDir().mkpath(path(QStringLiteral("data/Zuvik")));
    QFile rejected(path(QStringLiteral("data/Zuvik/rejected.json")));
    ASSERT_TRUE(rejected.open(QIODevice::WriteOnly));
    rejected.write("{\"version\": 1, \"rejected\": {\"lanterns\\tmara lind jonas vey\\t215\": [\"5008\"]}}");
    rejected.close();
    server.setReply(QStringLiteral("/api/search"), Reply::json(dataFile("lrclib_search_lanterns.json")));
    const Outcome run = zuvik(lanterns + QStringList{"--candidates"});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "source\tid\tname\tartists\tduration\tstatus\n"
                       "ncm\t5001\tLanterns (Live)\tMara Lind\t3:35.0\tmatch\n"
                       "ncm\t5002\tLanterns\tJonas Vey\t3:36.5\tmatch\n"
                       "ncm\t5003\tLanterns\tOther Person\t3:34.6\tno match\n"
                       "ncm\t5004\tLanterns (Remastered)\tMara Lind, Guest Player\t3:34.6\tchosen\n"
                       "ncm\t5005\tLanternsong\tMara Lind\t3:34.6\tno match\n"
                       "ncm\t5006\tLanterns\tMara Lind\t3:38.6\tno match\n"
                       "ncm\t5008\tLanterns - Acoustic Version\tMara Lind\t3:33.0\trejected\n"
                       "ncm\t5009\tLanterns\tMara Lind\t3:37.6\tmatch\n"
                       // every source is listed, also after the first has given lyrics
                       "lrclib\t71\tLanterns\tMara Lind\t3:39.0\tno match\n"
                       "lrclib\t72\tLanterns\tSomeone Else\t3:35.0\tno match\n"
                       "lrclib\t73\tLanterns (Harbour Session)\tMara Lind\t3:34.0\tmatch\n"
                       "lrclib\t74\tLanterns (Live)\tMara Lind\t3:36.0\tmatch\n");
}

TEST_F(LyricsCommand, JsonGivesLrclibsSyncedTextForATrackTheServiceLacksAndTheSetOrderIsFollowed)
{
    server.setReply(QStringLiteral("/api/search/get"), Reply::json(R"({"result":{"songs":[]}})"));
    server.setReply(QStringLiteral("/api/get"), Reply::json(dataFile("lrclib_get_lanterns.json")));
    const Outcome run = zuvik(lanterns + QStringList{"--json"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonObject document = QJsonDocument::fromJson(run.out.toUtf8()).object();
    QStringList texts;
    for (const QJsonValue& word : document["words"].toArray())
        texts.append(word["text"].toString());
    EXPECT_EQ(document["tier"], "interpolated");
    EXPECT_EQ(texts.join(u' '), "Lanterns on the water Counting the lights, I kept your name... "
                                "Until the morning comes Until the morning comes End");
    EXPECT_TRUE(run.err.contains("lyrics: line-level via lrclib 77 \"Lanterns\" by Mara Lind & Jonas Vey (20 words)"));
    ASSERT_EQ(zuvik({"set", "lyricSources", "lrclib,ncm"}).status, 0);
    EXPECT_EQ(zuvik({"get", "lyricSources"}).out, "lrclib,ncm\n");
    ASSERT_TRUE(QDir(path(QStringLiteral("cache"))).removeRecursively());
    const qsizetype asked = server.requestsFor(QStringLiteral("/api/search/get")).size();
    EXPECT_EQ(zuvik(lanterns).status, 0);
    EXPECT_EQ(server.requestsFor(QStringLiteral("/api/search/get")).size(), asked);  // LRCLIB answered first
}

TEST_F(LyricsCommand, VisualExplainsEachWordInOrderAndWritesNoMemo)
{
    const Outcome run = zuvik({"visual", "love", "the", "autumn", "stories"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "love → symbol heart.fill (table: love)\nthe → none (stop word)\n"
                       "autumn → emoji 🍂 (emoji keyword: autumn)\n"
                       "stories → symbol book.fill (nearest neighbour: story, distance 0.00)\n");
    const QString memo = path(QStringLiteral("cache/Orvane/WordVisuals/v5.json"));
    EXPECT_FALSE(QFile::exists(memo)) << "explaining a word is not resolving it for the overlay";
    EXPECT_EQ(zuvik({"visual"}).status, 2);
    // The memo the overlay draws from wins; a FIFO in its place is passed over at once.
    QFile file(memo);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)
                && file.write(R"({"love": "e:🌧", "rain": "s:cloud.rain.fill"})") > 0);
    file.close();
    EXPECT_EQ(zuvik({"visual", "love"}).out,
              "love → emoji 🌧 (memo; afresh it would be symbol heart.fill by table: love)\n");
    ASSERT_TRUE(QFile::remove(memo) && makeFifo(QStringLiteral("cache/Orvane/WordVisuals/v5.json")));
    EXPECT_EQ(zuvik({"visual", "love"}).out, "love → symbol heart.fill (table: love)\n");
}

TEST_F(LyricsCommand, RefusalsSayWhyAndLookNothingUp)
{
    for (const auto& [arguments, status] :
         {std::pair("--reject", 1) /* no running copy */, std::pair("", 2), std::pair("--artist A --title", 2),
          std::pair("--artist A --title T --duration 86401", 2), std::pair("--artist A --title T extra", 2),
          std::pair("--reject --artist A --title T", 2), std::pair("--reject --candidates", 2),
          std::pair("--artist A --title T --candidates --json", 2)}) {
        const Outcome run = zuvik(QStringList{"lyrics"} + QString::fromUtf8(arguments).split(u' ', Qt::SkipEmptyParts));
        EXPECT_EQ(run.status, status) << arguments;
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(run.err.startsWith("zuvik lyrics: ")) << run.err.toStdString();
    }
    EXPECT_TRUE(server.requests().isEmpty());
}

}  // namespace
