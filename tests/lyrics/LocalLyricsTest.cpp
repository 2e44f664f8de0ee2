// Local lyric files: real files in the test's private home, read by the parser and the finder.
#include "lyrics/LocalLyricsFinder.h"
#include "lyrics/LocalLyricsParser.h"

#include "LyricsTestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QStandardPaths>
#include <QThreadPool>
#include <QUrl>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QString homeFolder(const QString& name)
{
    const QString path = QDir::homePath() + QStringLiteral("/local-lyrics/") + name;
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
}

NowPlayingTrack track(const char* title, const char* artist, QString url = {})
{
    return NowPlayingTrack{QString::fromUtf8(title), QString::fromUtf8(artist), 200, std::move(url)};
}

// ---- decoding -------------------------------------------------------------------------------

struct DecodeCase {
    const char* name;
    QByteArray bytes;
    const char* text;  // UTF-8
};

class Decode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Decode, GivesText)
{
    EXPECT_EQ(decodeLyricFile(GetParam().bytes), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    LyricFile, Decode,
    ::testing::Values(DecodeCase{"plain utf8", QByteArray("[00:01.00]Hé"), "[00:01.00]Hé"},
                      DecodeCase{"bom is dropped", QByteArray("\xEF\xBB\xBF[00:01.00]a"), "[00:01.00]a"},
                      DecodeCase{"crlf becomes lf", QByteArray("a\r\nb\r\n"), "a\nb\n"},
                      DecodeCase{"lone cr becomes lf", QByteArray("a\rb"), "a\nb"},
                      DecodeCase{"latin1 when not utf8", QByteArray("[00:01.00]Caf\xE9 cr\xE8me"),
                                 "[00:01.00]Café crème"},
                      DecodeCase{"empty", QByteArray(), ""}),
    [](const auto& info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

// ---- offset tag -----------------------------------------------------------------------------

struct OffsetCase {
    const char* text;
    double ms;
};

class OffsetTag : public ::testing::TestWithParam<OffsetCase> {};

TEST_P(OffsetTag, Reads) { EXPECT_EQ(lrcOffsetMs(QString::fromUtf8(GetParam().text)), GetParam().ms); }

INSTANTIATE_TEST_SUITE_P(Lrc, OffsetTag,
                         ::testing::Values(OffsetCase{"[offset:500]", 500}, OffsetCase{"[offset:+250]\n", 250},
                                           OffsetCase{"[offset:-1200]", -1200}, OffsetCase{"[OFFSET: 40 ]", 40},
                                           OffsetCase{"[offset:abc]", 0}, OffsetCase{"[offset:]", 0},
                                           OffsetCase{"[offset:1.5]", 0}, OffsetCase{"[ar:x]\n[ti:y]", 0},
                                           OffsetCase{"[offset:99999999999999]", 0}));

// ---- documents ------------------------------------------------------------------------------

TEST(LocalLyricsParse, PlainLrcIsInterpolatedFromLines)
{
    const auto lyrics = parseLocalLyrics(u"[ar:Someone]\n[ti:Song]\n[length:03:20]\n[00:10.00]one two\n[00:20.00]three");
    ASSERT_TRUE(lyrics);
    EXPECT_EQ(lyrics->tier(), LyricTier::interpolated);
    EXPECT_EQ(textsOf(lyrics->words()), (QStringList{"one", "two", "three"}));
    EXPECT_DOUBLE_EQ(lyrics->words().front().start, 10.0);
}

TEST(LocalLyricsParse, WordTagsGiveWordLevelTiming)
{
    const auto lyrics = parseLocalLyrics(u"[00:12.00]<00:12.00>Some <00:12.40>words\n[00:15.00]<00:15.00>next");
    ASSERT_TRUE(lyrics);
    EXPECT_EQ(lyrics->tier(), LyricTier::wordLevel);
    ASSERT_EQ(lyrics->words().size(), 3);
    EXPECT_EQ(lyrics->words()[0], word("Some", 12.0, 12.4, 0));
    EXPECT_EQ(lyrics->words()[1], word("words", 12.4, 14.4, 0));  // the last word gets at most 2 s
    EXPECT_EQ(lyrics->words()[2].line, 1);
}

TEST(LocalLyricsParse, TextBeforeTheFirstWordTagStartsWithTheLine)
{
    const auto lyrics = parseLocalLyrics(u"[00:05.00]Hello <00:06.00>there");
    ASSERT_TRUE(lyrics);
    EXPECT_EQ(lyrics->words()[0], word("Hello", 5.0, 6.0, 0));
}

TEST(LocalLyricsParse, PositiveOffsetTagMakesEveryLineEarlier)
{
    const auto lyrics = parseLocalLyrics(u"[offset:+500]\n[00:10.00]a\n[00:20.00]b");
    ASSERT_TRUE(lyrics);
    EXPECT_DOUBLE_EQ(lyrics->words()[0].start, 9.5);
    EXPECT_DOUBLE_EQ(lyrics->words()[1].start, 19.5);
}

TEST(LocalLyricsParse, NegativeOffsetTagMakesWordTagsLater)
{
    const auto lyrics = parseLocalLyrics(u"[offset:-1000]\n[00:01.00]<00:01.00>a <00:01.50>b");
    ASSERT_TRUE(lyrics);
    EXPECT_DOUBLE_EQ(lyrics->words()[0].start, 2.0);
    EXPECT_DOUBLE_EQ(lyrics->words()[1].start, 2.5);
}

TEST(LocalLyricsParse, OffsetNeverMakesATimeNegative)
{
    const auto lyrics = parseLocalLyrics(u"[offset:5000]\n[00:01.00]a");
    ASSERT_TRUE(lyrics);
    EXPECT_EQ(lyrics->words()[0].start, 0.0);
}

TEST(LocalLyricsParse, TextWithoutTimesGivesNothing)
{
    EXPECT_FALSE(parseLocalLyrics(u"just some words\nno tags"));
    EXPECT_FALSE(parseLocalLyrics(u"[ar:Someone]\n[ti:Song]"));
    EXPECT_FALSE(parseLocalLyrics(u""));
    EXPECT_FALSE(parseLocalLyrics(u"[00:01.00]<00:01.00>"));
}

TEST(LocalLyricsParse, UnreadableWordTagStaysText)
{
    const auto lyrics = parseLocalLyrics(u"[00:01.00]<00:01.00>a <b> <00:02.00>c");
    ASSERT_TRUE(lyrics);
    EXPECT_EQ(textsOf(lyrics->words()), (QStringList{"a", "<b>", "c"}));
}

// ---- finding files --------------------------------------------------------------------------

TEST(LocalLyricsFind, UserFolderIsUnderXdgDataHome)
{
    EXPECT_EQ(local_lyrics::userFolder(), qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Zuvik/lyrics"));
}

TEST(LocalLyricsFind, FileBesideThePlayingFileInAnyCase)
{
    const QString music = homeFolder(QStringLiteral("beside"));
    writeFile(music + QStringLiteral("/01 Song.flac"), "not audio");
    writeFile(music + QStringLiteral("/01 Song.LRC"), "[00:01.00]beside");
    writeFile(music + QStringLiteral("/02 Other.lrc"), "[00:01.00]other");
    const QString url = QUrl::fromLocalFile(music + QStringLiteral("/01 Song.flac")).toString();
    const auto found = local_lyrics::find(track("Song", "Band", url), homeFolder(QStringLiteral("empty")));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->path, music + QStringLiteral("/01 Song.LRC"));
    EXPECT_EQ(textsOf(found->lyrics.words()), QStringList{"beside"});
}

TEST(LocalLyricsFind, NonFileUrlIsNotLookedBeside)
{
    const QString folder = homeFolder(QStringLiteral("no-url"));
    EXPECT_TRUE(local_lyrics::candidatePaths(track("Song", "Band", QStringLiteral("https://example.invalid/a.mp3")),
                                             folder)
                    .isEmpty());
}

struct FolderCase {
    const char* fileName;
    const char* title;
    const char* artist;
    bool matches;
};

class FolderMatch : public ::testing::TestWithParam<FolderCase> {};

TEST_P(FolderMatch, OnTheSearchKey)
{
    const QString folder = homeFolder(QStringLiteral("folder-match"));
    writeFile(folder + u'/' + QString::fromUtf8(GetParam().fileName), "[00:01.00]words");
    const QStringList paths = local_lyrics::candidatePaths(track(GetParam().title, GetParam().artist), folder);
    EXPECT_EQ(paths.size(), GetParam().matches ? 1 : 0) << GetParam().fileName;
}

INSTANTIATE_TEST_SUITE_P(
    LyricsFolder, FolderMatch,
    ::testing::Values(FolderCase{"Band - Song.lrc", "Song", "Band", true},
                      FolderCase{"band - song.LRC", "Song", "Band", true},
                      FolderCase{"Band - Song.lrc", "Song (Remastered 2011)", "Band", true},
                      FolderCase{"Béla - Café.lrc", "Cafe", "Bela", true},
                      FolderCase{"Jay-Z - Run - This Town.lrc", "Run - This Town", "Jay-Z", true},
                      FolderCase{"Band - Song.txt", "Song", "Band", false},
                      FolderCase{"Band - Other Song.lrc", "Song", "Band", false},
                      FolderCase{"Other Band - Song.lrc", "Song", "Band", false},
                      FolderCase{"Band-Song.lrc", "Song", "Band", false},
                      FolderCase{"Song.lrc", "Song", "Band", false}));

TEST(LocalLyricsFind, DirectoryNamedLikeALyricFileIsSkipped)
{
    const QString folder = homeFolder(QStringLiteral("directory"));
    QDir().mkpath(folder + QStringLiteral("/Band - Song.lrc"));
    EXPECT_TRUE(local_lyrics::candidatePaths(track("Song", "Band"), folder).isEmpty());
    EXPECT_FALSE(local_lyrics::find(track("Song", "Band"), folder));
}

TEST(LocalLyricsFind, FileOverOneMebibyteIsIgnored)
{
    const QString folder = homeFolder(QStringLiteral("large"));
    QByteArray large("[00:01.00]big\n");
    large += QByteArray(2 * 1024 * 1024, 'x');
    writeFile(folder + QStringLiteral("/Band - Song.lrc"), large);
    EXPECT_FALSE(local_lyrics::find(track("Song", "Band"), folder));
}

TEST(LocalLyricsFind, FileOfExactlyOneMebibyteIsRead)
{
    const QString folder = homeFolder(QStringLiteral("limit"));
    QByteArray bytes("[00:01.00]edge\n");
    bytes += QByteArray(local_lyrics::maxFileBytes - bytes.size(), '\n');
    writeFile(folder + QStringLiteral("/Band - Song.lrc"), bytes);
    EXPECT_TRUE(local_lyrics::find(track("Song", "Band"), folder));
}

TEST(LocalLyricsFind, BomCrlfLatin1AndEnhancedFilesOnDisk)
{
    const QString folder = homeFolder(QStringLiteral("encodings"));
    writeFile(folder + QStringLiteral("/A - Bom.lrc"), "\xEF\xBB\xBF[00:01.00]bom line\r\n[00:03.00]crlf\r\n");
    writeFile(folder + QStringLiteral("/A - Latin.lrc"), "[00:01.00]\xE9t\xE9");
    writeFile(folder + QStringLiteral("/A - Tags.lrc"), "[offset:+200]\r\n[00:02.00]<00:02.00>one <00:02.50>two\r\n");

    const auto bom = local_lyrics::find(track("Bom", "A"), folder);
    ASSERT_TRUE(bom);
    EXPECT_EQ(textsOf(bom->lyrics.words()), (QStringList{"bom", "line", "crlf"}));
    const auto latin = local_lyrics::find(track("Latin", "A"), folder);
    ASSERT_TRUE(latin);
    EXPECT_EQ(textsOf(latin->lyrics.words()), QStringList{QStringLiteral("été")});
    const auto tags = local_lyrics::find(track("Tags", "A"), folder);
    ASSERT_TRUE(tags);
    EXPECT_EQ(tags->lyrics.tier(), LyricTier::wordLevel);
    EXPECT_DOUBLE_EQ(tags->lyrics.words()[1].start, 2.3);
}

TEST(LocalLyricsFind, UnreadableFileGivesWayToTheNextCandidate)
{
    const QString music = homeFolder(QStringLiteral("fallthrough"));
    writeFile(music + QStringLiteral("/t.lrc"), "no times here");
    const QString folder = homeFolder(QStringLiteral("fallthrough-folder"));
    writeFile(folder + QStringLiteral("/Band - Song.lrc"), "[00:01.00]folder");
    const auto found = local_lyrics::find(
        track("Song", "Band", QUrl::fromLocalFile(music + QStringLiteral("/t.ogg")).toString()), folder);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->path, folder + QStringLiteral("/Band - Song.lrc"));
}

TEST(LocalLyricsFind, ALinkToAFifoIsPassedOverWithoutWaitingForAWriter)
{
    const QString music = homeFolder(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(music + QStringLiteral("/pipe")).constData(), 0644), 0);
    ASSERT_TRUE(QFile::link(music + QStringLiteral("/pipe"), music + QStringLiteral("/t.lrc")));
    const QString folder = homeFolder(QStringLiteral("fifo-folder"));
    writeFile(folder + QStringLiteral("/Band - Song.lrc"), "[00:01.00]folder");
    const auto found = local_lyrics::find(
        track("Song", "Band", QUrl::fromLocalFile(music + QStringLiteral("/t.ogg")).toString()), folder);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->path, folder + QStringLiteral("/Band - Song.lrc"));
}

// ---- the lookup -----------------------------------------------------------------------------

// Runs the event loop until the lookup answers (or is gone); answers come from a worker thread.
std::optional<std::optional<TimedLyrics>> answerOf(PendingLyrics* lookup)
{
    std::optional<std::optional<TimedLyrics>> answer;
    QPointer<PendingLyrics> alive(lookup);
    QObject::connect(lookup, &PendingLyrics::finished, [&](const std::optional<TimedLyrics>& l) { answer = l; });
    for (int i = 0; i < 10000 && !answer && alive; ++i) {
        QThreadPool::globalInstance()->waitForDone(1);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return answer;
}

TEST(LocalFirstLookup, LocalFileWinsAndTheServiceIsNotAsked)
{
    const QString folder = homeFolder(QStringLiteral("lookup-local"));
    writeFile(folder + QStringLiteral("/Band - Song.lrc"), "[00:01.00]local words");
    QThreadPool pool;
    bool serviceAsked = false;
    auto* lookup = new LocalFirstLyrics(track("Song", "Band"), folder, pool, [&]() -> PendingLyrics* {
        serviceAsked = true;
        return nullptr;
    }, nullptr);
    const auto answer = answerOf(lookup);
    ASSERT_TRUE(answer);
    ASSERT_TRUE(*answer);
    EXPECT_EQ(textsOf((*answer)->words()), (QStringList{"local", "words"}));
    EXPECT_FALSE(serviceAsked);
}

TEST(LocalFirstLookup, WithoutAFileTheServiceAnswers)
{
    const QString folder = homeFolder(QStringLiteral("lookup-service"));
    QThreadPool pool;
    const TimedLyrics service(LyricTier::wordLevel, {word("remote", 1, 2, 0)});
    auto* lookup = new LocalFirstLyrics(track("Song", "Band"), folder, pool, [&]() -> PendingLyrics* {
        return new ReadyLyrics(service, nullptr);
    }, nullptr);
    const auto answer = answerOf(lookup);
    ASSERT_TRUE(answer);
    EXPECT_EQ(*answer, std::optional(service));
}

TEST(LocalFirstLookup, CancelledBeforeTheFileIsReadNeverAnswers)
{
    const QString folder = homeFolder(QStringLiteral("lookup-cancel"));
    writeFile(folder + QStringLiteral("/Band - Song.lrc"), "[00:01.00]local");
    QThreadPool pool;
    bool serviceAsked = false;
    QPointer<LocalFirstLyrics> lookup = new LocalFirstLyrics(track("Song", "Band"), folder, pool, [&]() -> PendingLyrics* {
        serviceAsked = true;
        return nullptr;
    }, nullptr);
    lookup->cancel();
    bool answered = false;
    QObject::connect(lookup, &PendingLyrics::finished, [&] { answered = true; });
    pool.waitForDone();
    for (int i = 0; i < 100 && lookup; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_FALSE(answered);
    EXPECT_FALSE(serviceAsked);
    EXPECT_TRUE(lookup.isNull());  // it cleaned up after itself
}

}  // namespace
