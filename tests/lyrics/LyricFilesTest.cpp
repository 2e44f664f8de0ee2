// Lyric files on disk, in a temporary folder: the cache, the user's own lyric files, offsets and rejections.
#include "lyrics/LocalLyricsFinder.h"
#include "lyrics/LyricsCache.h"
#include "lyrics/RejectedCandidates.h"
#include "lyrics/TimedLyricsJson.h"
#include "lyrics/TrackKey.h"
#include "lyrics/TrackOffsets.h"

#include "LyricsTestSupport.h"

#include <QProcess>
#include <QThreadPool>
#include <QUrl>

#include <sys/stat.h>

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : "<missing>";
}

bool makeFifo(const QString& path) { return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0; }

class Files : public ::testing::Test {
protected:
    QString path(const QString& relative) const { return root.filePath(relative); }
    QTemporaryDir root;
};

const NowPlayingTrack song{"Song Title", "Artist", 214.6};
const TimedLyrics someLyrics(LyricTier::interpolated, {word("Hello", 1, 2, 0), word("again", 5, 6, 1)});
const TimedLyrics otherLyrics(LyricTier::wordLevel, {word("other", 1, 2, 0)});

// Only a whole document is a hit; a write replaces whatever is there (a link is replaced, not written through).
TEST_F(Files, CachePreparesItsFolderAndAWholeDocumentIsAHitThatTheNextWriteReplaces)
{
    for (const char* file : {"Lyrics/v2/old.json", "Lyrics/v4/deep/er/old.json", "Lyrics/v5/kept.json",
                             "Lyrics/v6/x.json", "WordVisuals/v3.json"})
        writeFile(path("Orvane/") + file, "{}");
    EXPECT_EQ(LyricsCache::prepare(root.path()), path("Orvane/Lyrics/v5"));
    EXPECT_FALSE(QDir(path("Orvane/Lyrics/v2")).exists());
    EXPECT_FALSE(QDir(path("Orvane/Lyrics/v4")).exists());
    for (const char* kept : {"Lyrics/v5/kept.json", "Lyrics/v6/x.json", "WordVisuals/v3.json"})
        EXPECT_TRUE(QFile::exists(path("Orvane/") + kept)) << kept;
    const LyricsCache cache(LyricsCache::prepare(root.path()));
    cache.write(someLyrics, song);
    EXPECT_EQ(contents(cache.fileLocation(song)), encodeTimedLyrics(someLyrics));
    EXPECT_EQ(QDir(cache.directory()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"Artist_Song_Title_215-0d427da5.json", "kept.json"}));
    EXPECT_EQ(cache.read(NowPlayingTrack{"Song Title", "Artist", 215.4}), someLyrics);
    cache.remove(song);
    EXPECT_EQ(cache.read(song), std::nullopt);
    const QString file = cache.fileLocation(song), outside = path("outside.json");
    const QByteArray other = encodeTimedLyrics(otherLyrics),
                     atCap = other + QByteArray(4 * 1024 * 1024 - other.size(), ' ');
    const QByteArray wrongTier = R"({"tier":"WordLevel","words":[]})", noWords = R"({"tier":"wordLevel","words":[]})";
    const std::pair<QByteArray, bool> cases[] = {{"missing", false},   {"", false},      {other.chopped(7), false},
                                                 {wrongTier, false},   {noWords, false}, {atCap, true},
                                                 {atCap + ' ', false}, {"fifo", false},  {"link", true}};
    for (const auto& [bytes, hit] : cases) {
        QFile::remove(file);
        writeFile(outside, other);
        if (bytes == "fifo")
            ASSERT_TRUE(makeFifo(file));
        else if (bytes == "link")
            ASSERT_TRUE(QFile::link(outside, file));
        else if (bytes != "missing")
            writeFile(file, bytes);
        EXPECT_EQ(cache.read(song), hit ? std::optional(otherLyrics) : std::nullopt) << bytes.left(40).toStdString();
        cache.write(someLyrics, song);
        EXPECT_EQ(cache.read(song), someLyrics);
        EXPECT_EQ(contents(outside), other);
    }
    const LogLines log;
    ASSERT_TRUE(QDir(cache.directory()).removeRecursively());
    cache.write(someLyrics, song);
    EXPECT_FALSE(QDir(cache.directory()).exists());
    ASSERT_EQ(log.newMessages().size(), 1);
    EXPECT_TRUE(log.newMessages()[0].startsWith("lyrics: cache file " + cache.fileLocation(song) + " not written: "));
}

NowPlayingTrack bandSong(const QString& url = {}) { return NowPlayingTrack{"Song", "Band", 200, url}; }

// Beside the playing file in any case, then in the folder by the search keys.
TEST_F(Files, LocalFileIsFoundBesideThePlayingFileThenInTheFolderAndReadWhenSmallAndRegular)
{
    writeFile(path("music/01 Song.flac"), "not audio");
    writeFile(path("music/01 Song.LRC"), "[00:01.00]beside");
    writeFile(path("music/02 Other.lrc"), "[00:01.00]other");
    writeFile(path("lyrics/Band - Song.lrc"), "[00:01.00]folder");
    const QString url = QUrl::fromLocalFile(path("music/01 Song.flac")).toString();
    EXPECT_EQ(local_lyrics::candidatePaths(bandSong(url), path("lyrics")),
              (QStringList{path("music/01 Song.LRC"), path("lyrics/Band - Song.lrc")}));
    const auto found = local_lyrics::find(bandSong(url), path("lyrics"));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->path, path("music/01 Song.LRC"));
    EXPECT_EQ(textsOf(found->lyrics.words()), QStringList{"beside"});
    EXPECT_EQ(local_lyrics::candidatePaths(bandSong("https://example.invalid/01 Song.flac"), path("none")),
              QStringList());
    using Case = std::tuple<const char*, const char*, const char*, bool>;  // the file name, title, artist, match
    int n = 0;
    for (const auto& [fileName, title, artist, matches] :
         {Case{"Band - Song.lrc", "Song", "Band", true}, Case{"band - song.LRC", "Song", "Band", true},
          Case{"Béla - Café.lrc", "Cafe", "Bela", true},
          Case{"Band - Song.lrc", "Song (Remastered 2011)", "Band", true},
          Case{"Jay-Z - Run - This Town.lrc", "Run - This Town", "Jay-Z", true}, Case{" - Song.lrc", "Song", "", true},
          Case{"Band - Song.txt", "Song", "Band", false}, Case{"Band - Other Song.lrc", "Song", "Band", false},
          Case{"Other Band - Song.lrc", "Song", "Band", false}, Case{"Song.lrc", "Song", "Band", false}}) {
        const QString folder = path("lyrics%1").arg(++n);
        writeFile(folder + '/' + fileName, "[00:01.00]words");
        QDir().mkpath(folder + "/Band - Song.Lrc");  // a folder is never a lyric file
        EXPECT_EQ(local_lyrics::candidatePaths({title, artist, 200}, folder).size(), qsizetype(matches)) << fileName;
    }
    // It is read in its encoding when it is a regular file of at most one mebibyte.
    QByteArray bytes("[00:01.00]\xE9t\xE9\n");
    writeFile(path("a/Band - Song.lrc"), bytes + QByteArray(1024 * 1024 - bytes.size(), '\n'));
    writeFile(path("b/Band - Song.lrc"), bytes + QByteArray(1024 * 1024 - bytes.size() + 1, '\n'));
    const LogLines log;  // the file read and the one ignored: nothing about the others
    const auto small = local_lyrics::find(bandSong(), path("a"));
    ASSERT_TRUE(small);
    EXPECT_EQ(textsOf(small->lyrics.words()), QStringList{"été"});
    EXPECT_FALSE(local_lyrics::find(bandSong(), path("b")));
    EXPECT_EQ(log.newMessages(),
              (QStringList{"lyrics: local file " + path("a/Band - Song.lrc") + " (1 words)",
                           "lyrics: local file " + path("b/Band - Song.lrc") + " is over 1 MiB — ignored"}));

    // One that does not read, or is a link to a FIFO, gives way to the next without waiting.
    ASSERT_TRUE(makeFifo(path("pipe")));
    QDir().mkpath(path("music"));
    ASSERT_TRUE(QFile::link(path("pipe"), path("music/t.lrc")));
    writeFile(path("lyrics/Band - Song.LRC"), "no times here");
    writeFile(path("lyrics/Band - Song.lrc"), "[00:01.00]folder");
    const auto next = local_lyrics::find(bandSong(QUrl::fromLocalFile(path("music/t.ogg")).toString()), path("lyrics"));
    ASSERT_TRUE(next);
    EXPECT_EQ(next->path, path("lyrics/Band - Song.lrc"));
}

// The answer of a local-first lookup, or nothing when it ended without one.
std::optional<std::optional<TimedLyrics>> answerOf(PendingLyrics* lookup)
{
    std::optional<std::optional<TimedLyrics>> answer;
    QPointer<PendingLyrics> alive(lookup);
    QObject::connect(lookup, &PendingLyrics::finished, [&](const std::optional<TimedLyrics>& l) { answer = l; });
    waitFor([&] { return answer || !alive; });
    return answer;
}

TEST_F(Files, LocalFirstLookupPrefersTheFileThenAsksTheServiceAndStaysSilentWhenCancelled)
{
    writeFile(path("lyrics/Band - Song.lrc"), "[00:01.00]local words");
    QThreadPool pool;
    int serviceAsked = 0;
    const auto service = [&]() -> PendingLyrics* { return ++serviceAsked, new ReadyLyrics(otherLyrics, nullptr); };
    const auto local = answerOf(new LocalFirstLyrics(bandSong(), path("lyrics"), pool, service, nullptr));
    ASSERT_TRUE(local && *local);
    EXPECT_EQ(textsOf((*local)->words()), (QStringList{"local", "words"}));
    EXPECT_EQ(serviceAsked, 0);
    EXPECT_EQ(answerOf(new LocalFirstLyrics(bandSong(), path("none"), pool, service, nullptr)),
              std::optional<std::optional<TimedLyrics>>(otherLyrics));
    EXPECT_EQ(serviceAsked, 1);
    QPointer<LocalFirstLyrics> cancelled = new LocalFirstLyrics(bandSong(), path("lyrics"), pool, service, nullptr);
    cancelled->cancel();
    EXPECT_EQ(answerOf(cancelled), std::nullopt);
    EXPECT_TRUE(cancelled.isNull());  // it cleaned up after itself
    EXPECT_EQ(serviceAsked, 1);
}

// Offsets key tracks by their names, clamp to thirty seconds, survive a restart; odd entries drop out.
TEST_F(Files, OffsetsAndRejectionsSurviveARestartAndOddEntriesDropOut)
{
    const NowPlayingTrack base{"Song", "Band", 214.6};
    EXPECT_EQ(TrackOffsets::keyOf(NowPlayingTrack{"Song (Remastered 2011)", "BAND", 215.4}), TrackOffsets::keyOf(base));
    for (const NowPlayingTrack& other :
         {NowPlayingTrack{"Song", "Band", 215.6}, NowPlayingTrack{"Song", "Other", 214.6},
          NowPlayingTrack{"Other", "Band", 214.6}})
        EXPECT_NE(TrackOffsets::keyOf(other), TrackOffsets::keyOf(base)) << other.title.toStdString();
    const std::pair<double, std::optional<double>> clamps[] = {{-30.0, -30.0},   {30.0, 30.0},       {30.05, 30.0},
                                                               {-45.0, -30.0},   {0.1 + 0.2, 0.3},   {1.23456, 1.235},
                                                               {INFINITY, 30.0}, {NAN, std::nullopt}};
    for (const auto& [in, out] : clamps)
        EXPECT_EQ(TrackOffsets::clamped(in), out) << in;
    const QString file = path("data/offsets.json");
    TrackOffsets missing(file);
    EXPECT_EQ(missing.offset(song), 0.0);
    EXPECT_FALSE(QFile::exists(file));  // reading creates nothing
    {
        TrackOffsets offsets(file);
        for (int n = 0; n < 3; ++n)
            EXPECT_TRUE(offsets.nudge(song, TrackOffsets::step).written);
        EXPECT_TRUE(offsets.setOffset(bandSong(), -1.5).written);
    }
    TrackOffsets again(file);
    EXPECT_DOUBLE_EQ(again.offset(song), 0.3);
    EXPECT_DOUBLE_EQ(again.offset(bandSong()), -1.5);
    EXPECT_EQ(again.offset(NowPlayingTrack{"Other", "Artist", 214.6}), 0.0);
    again.setOffset(bandSong(), 0);
    EXPECT_EQ(QJsonDocument::fromJson(contents(file))["offsets"].toObject().keys(), QStringList{trackKey(song)});
    EXPECT_DOUBLE_EQ(TrackOffsets(file).offset(song), 0.3);

    // Odd entries are skipped and the rest kept, without setting the file aside.
    const QString offsets = path("odd/offsets.json"), rejected = path("odd/rejected.json");
    writeFile(offsets, QString(R"({"version": 1, "offsets": {"x": "text", "%1": 99}})").arg(trackKey(song)).toUtf8());
    const QString ids = R"(["12", "x", 5, "", "13", "99999999999999999999"])";
    writeFile(rejected,
              QString(R"({"version": 1, "rejected": {"%1": %2, "y": "z"}})").arg(trackKey(song), ids).toUtf8());
    EXPECT_DOUBLE_EQ(TrackOffsets(offsets).offset(song), 30.0);
    EXPECT_EQ(RejectedCandidates(rejected).rejectedFor(song), (QSet<std::int64_t>{12, 13}));
    EXPECT_TRUE(QFile::exists(offsets) && QFile::exists(rejected));

    // A FIFO is neither waited on nor written over.
    const QString fifo = path("offsets.json");
    ASSERT_TRUE(makeFifo(fifo));
    TrackOffsets onFifo(fifo);
    const WriteResult stored = onFifo.setOffset(song, 0.7);
    EXPECT_FALSE(stored.written);
    EXPECT_EQ(stored.error, "cannot read " + fifo + ": not a regular file — not written over");
    EXPECT_DOUBLE_EQ(onFifo.offset(song), 0.7);  // as the user asked, until Zuvik quits
    EXPECT_TRUE(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());  // still the FIFO
    // Rejections survive a restart per track, with every digit of their ids.
    const QString rejections = path("data/rejected.json");
    const NowPlayingTrack remaster{"Song Title (Remastered 2011)", "ARTIST", 214.9}, other{"Other", "Artist", 214.6};
    constexpr std::int64_t beyondDoubles = (std::int64_t{1} << 53) + 1;  // a JSON number would lose it
    {
        RejectedCandidates rejected(rejections);
        EXPECT_TRUE(rejected.reject(song, 5002));
        EXPECT_TRUE(rejected.reject(song, beyondDoubles));
        EXPECT_FALSE(rejected.reject(remaster, 5002));  // the same track, already rejected
        EXPECT_TRUE(rejected.reject(other, std::numeric_limits<std::int64_t>::max()));
    }
    const RejectedCandidates restarted(rejections);
    EXPECT_EQ(restarted.rejectedFor(remaster), (QSet<std::int64_t>{5002, beyondDoubles}));
    EXPECT_EQ(restarted.rejectedFor(other), QSet<std::int64_t>{std::numeric_limits<std::int64_t>::max()});
    EXPECT_TRUE(restarted.rejectedFor(NowPlayingTrack{"Song Title", "Artist", 230}).isEmpty());
    RejectedCandidates memoryOnly;
    EXPECT_TRUE(memoryOnly.reject(song, 7));
    EXPECT_EQ(memoryOnly.rejectedFor(song), QSet<std::int64_t>{7});
}

// Set aside beside an older one, then a good file again. First: an offsets file, else a rejections file.
TEST_F(Files, CorruptDataFileIsKeptAsideAndTheStoreStartsEmpty)
{
    const QByteArray huge = R"({"version": 1, "offsets": {}})" + QByteArray(16 * 1024 * 1024, ' ');
    const std::pair<bool, QByteArray> cases[] = {
        {true, R"({"version": 1, "offsets": {"a)"},  {true, "[1, 2]"}, {true, R"({"version": 7, "offsets": {}})"},
        {true, R"({"version": 1, "offsets": 3})"},   {true, huge},     {false, R"({"version": 2, "rejected": {}})"},
        {false, R"({"version": 1, "rejected": []})"}};
    int n = 0;
    for (const auto& [offsets, bytes] : cases) {
        const QString file = path("%1/data.json").arg(++n);
        writeFile(file + ".corrupt", "older");
        writeFile(file, bytes);
        const LogLines log;
        if (offsets) {
            TrackOffsets store(file);
            EXPECT_EQ(store.offset(song), 0.0);
            store.setOffset(song, 1.0);
            EXPECT_EQ(TrackOffsets(file).offset(song), 1.0);
        } else {
            RejectedCandidates store(file);
            EXPECT_TRUE(store.rejectedFor(song).isEmpty());
            store.reject(song, 1);
            EXPECT_EQ(RejectedCandidates(file).rejectedFor(song), QSet<std::int64_t>{1});
        }
        EXPECT_EQ(log.newMessages(),
                  QStringList{(offsets ? "timing: offsets file" : "lyrics: rejections file")
                              + QStringLiteral(" unreadable — kept aside as ") + file + ".corrupt.2"});
        EXPECT_EQ(contents(file + ".corrupt"), "older");
        EXPECT_EQ(contents(file + ".corrupt.2"), bytes) << n;
    }
}

// A writer killed at a random moment: a restart reads a whole file, never a part, and nothing is set aside.
TEST_F(Files, AWriterKilledMidWriteLeavesAWholeFile)
{
    const QString file = path("offsets.json");
    QProcess writer;
    writer.start(DATA_FILE_WRITER, {file});
    ASSERT_TRUE(writer.waitForReadyRead(10000));
    QThread::msleep(60);
    writer.kill();  // SIGKILL: no chance to finish the write in hand
    ASSERT_TRUE(writer.waitForFinished(10000));
    const TrackOffsets offsets(file);
    const auto holds = [&](int i) { return offsets.offset(NowPlayingTrack{QString::number(i), "Band", 200}) == 1.0; };
    int count = 0;
    while (holds(count))
        ++count;
    EXPECT_GE(count, 1);
    for (int i = count; i < count + 50; ++i)
        EXPECT_FALSE(holds(i)) << "entry " << i << " without entry " << count;
    EXPECT_FALSE(QFile::exists(file + ".corrupt"));
    EXPECT_LE(QDir(root.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);  // and a temporary file
}

}  // namespace
