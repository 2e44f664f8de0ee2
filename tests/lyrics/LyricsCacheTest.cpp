#include "lyrics/LyricsCache.h"

#include "lyrics/TimedLyricsJson.h"

#include "LyricsTestSupport.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

const NowPlayingTrack someTrack{QStringLiteral("Song Title"), QStringLiteral("Artist"), 214.6};

TimedLyrics someLyrics()
{
    return TimedLyrics(LyricTier::interpolated, {word("Hello", 1, 2, 0), word("there", 2, 3, 0), word("again", 5, 6, 1)});
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class LyricsCacheFolder : public ::testing::Test {
protected:
    QTemporaryDir root;
    QString orvane(const char* relative) const { return root.path() + QStringLiteral("/Orvane/") + QString::fromUtf8(relative); }
};

TEST_F(LyricsCacheFolder, PrepareRemovesOlderVersionsAndKeepsTheCurrentFiles)
{
    writeFile(orvane("Lyrics/v2/old.json"), "{}");
    writeFile(orvane("Lyrics/v4/deep/er/old.json"), "{}");
    writeFile(orvane("Lyrics/v5/kept.json"), "{}");
    writeFile(orvane("Lyrics/v6/unknown.json"), "{}");
    writeFile(orvane("WordVisuals/v3.json"), "{}");

    EXPECT_EQ(LyricsCache::prepare(root.path()), orvane("Lyrics/v5"));
    EXPECT_FALSE(QDir(orvane("Lyrics/v2")).exists());
    EXPECT_FALSE(QDir(orvane("Lyrics/v4")).exists());
    EXPECT_TRUE(QFile::exists(orvane("Lyrics/v5/kept.json")));
    EXPECT_TRUE(QFile::exists(orvane("Lyrics/v6/unknown.json")));  // not ours to judge
    EXPECT_TRUE(QFile::exists(orvane("WordVisuals/v3.json")));
}

TEST_F(LyricsCacheFolder, PrepareCreatesTheFolderWithItsParents)
{
    const QString folder = LyricsCache::prepare(root.path() + QStringLiteral("/a/b"));
    EXPECT_TRUE(QDir(folder).exists());
}

TEST_F(LyricsCacheFolder, WrittenDocumentReadsBackEqualAndIsTheStoredForm)
{
    const LyricsCache cache(LyricsCache::prepare(root.path()));
    cache.write(someLyrics(), someTrack);
    EXPECT_EQ(cache.fileLocation(someTrack), orvane("Lyrics/v5/Artist_Song_Title_215-0d427da5.json"));
    EXPECT_EQ(cache.read(someTrack), someLyrics());
    QFile file(cache.fileLocation(someTrack));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), encodeTimedLyrics(someLyrics()));
    EXPECT_EQ(QDir(cache.directory()).entryList(QDir::Files), QStringList{"Artist_Song_Title_215-0d427da5.json"});
}

TEST_F(LyricsCacheFolder, TracksRoundingToTheSameSecondShareAFile)
{
    const LyricsCache cache(LyricsCache::prepare(root.path()));
    cache.write(someLyrics(), someTrack);
    NowPlayingTrack sameSecond = someTrack;
    sameSecond.duration = 215.4;
    NowPlayingTrack otherSecond = someTrack;
    otherSecond.duration = 214.4;
    EXPECT_EQ(cache.read(sameSecond), someLyrics());
    EXPECT_EQ(cache.read(otherSecond), std::nullopt);
}

TEST_F(LyricsCacheFolder, DeletedFolderMakesWritesFailSilently)
{
    const LyricsCache cache(LyricsCache::prepare(root.path()));
    ASSERT_TRUE(QDir(cache.directory()).removeRecursively());
    cache.write(someLyrics(), someTrack);
    EXPECT_FALSE(QDir(cache.directory()).exists());
    EXPECT_EQ(cache.read(someTrack), std::nullopt);
}

struct CorruptCase {
    const char* name;
    QByteArray contents;
};

class CorruptCacheFile : public LyricsCacheFolder, public ::testing::WithParamInterface<CorruptCase> {};

TEST_P(CorruptCacheFile, IsAMissAndTheNextWriteReplacesIt)
{
    const LyricsCache cache(LyricsCache::prepare(root.path()));
    writeFile(cache.fileLocation(someTrack), GetParam().contents);
    EXPECT_EQ(cache.read(someTrack), std::nullopt);
    cache.write(someLyrics(), someTrack);
    EXPECT_EQ(cache.read(someTrack), someLyrics());
}

INSTANTIATE_TEST_SUITE_P(
    Files, CorruptCacheFile,
    ::testing::Values(CorruptCase{"Empty", ""},
                      CorruptCase{"Truncated", encodeTimedLyrics(someLyrics()).chopped(7)},
                      CorruptCase{"UnknownTier", R"({"tier":"WordLevel","words":[{"text":"a","start":0,"end":1,"line":0}]})"},
                      CorruptCase{"WordMissingAMember", R"({"tier":"wordLevel","words":[{"text":"a","start":0,"line":0}]})"},
                      // a document without words would stand for a track that has no lyrics
                      CorruptCase{"NoWords", R"({"tier":"wordLevel","words":[]})"},
                      CorruptCase{"NotJson", "\x89PNG\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
