#include "lyrics/CacheFileName.h"

#include "LyricsTestSupport.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace {

NowPlayingTrack track(const char* artist, const char* title, double duration)
{
    return NowPlayingTrack{QString::fromUtf8(title), QString::fromUtf8(artist), duration};
}

TEST(CacheFileName, NamesTheExampleTrack)
{
    const QString key = cacheKey(track("Artist", "Song Title", 214.6));
    EXPECT_EQ(key, QStringLiteral("Artist|Song Title|215"));
    EXPECT_EQ(cacheFileName(key), QStringLiteral("Artist_Song_Title_215-0d427da5.json"));
}

TEST(CacheFileName, HashIsFnv1aOfTheUtf8)
{
    EXPECT_EQ(fnv1a32(""), 2166136261u);
    EXPECT_EQ(fnv1a32("a"), 0xe40c292cu);
    // The key's UTF-8, not its UTF-16: "é" is two bytes.
    EXPECT_EQ(cacheFileName(u"é"), QStringLiteral("é-%1.json").arg(fnv1a32("\xC3\xA9"), 8, 16, QLatin1Char('0')));
}

struct KeyCase {
    const char* name;
    double duration;
    const char* seconds;
};

class CacheKeySeconds : public ::testing::TestWithParam<KeyCase> {};

TEST_P(CacheKeySeconds, RoundsHalvesAwayFromZeroAndUsesZeroForUnknown)
{
    EXPECT_EQ(cacheKey(track("A", "T", GetParam().duration)), QStringLiteral("A|T|") + QString::fromUtf8(GetParam().seconds));
}

INSTANTIATE_TEST_SUITE_P(
    Durations, CacheKeySeconds,
    ::testing::Values(KeyCase{"Down", 214.4, "214"}, KeyCase{"Up", 214.6, "215"}, KeyCase{"Half", 214.5, "215"},
                      KeyCase{"NegativeHalf", -0.5, "-1"}, KeyCase{"Zero", 0.0, "0"},
                      KeyCase{"NaN", std::nan(""), "0"},
                      KeyCase{"Infinity", std::numeric_limits<double>::infinity(), "0"},
                      KeyCase{"PastTheMillisecondRange", 9.3e15, "0"},
                      KeyCase{"LargestInRange", 9.2e15, "9200000000000000"}),
    [](const auto& info) { return std::string(info.param.name); });

struct NameCase {
    const char* name;
    const char* key;
};

class CacheFileNameSafety : public ::testing::TestWithParam<NameCase> {};

// Whatever a track's text, its file is one plain name inside the cache folder.
TEST_P(CacheFileNameSafety, StaysInsideTheFolder)
{
    const QString name = cacheFileName(QString::fromUtf8(GetParam().key));
    static const QRegularExpression shape(QStringLiteral(R"(^[\p{L}\p{M}\p{N}_]*-[0-9a-f]{8}\.json$)"));
    EXPECT_TRUE(shape.match(name).hasMatch()) << name.toStdString();
    EXPECT_LE(name.toUtf8().size(), 255);
    EXPECT_FALSE(name.contains(u'/'));
    EXPECT_FALSE(name.startsWith(u'.'));
}

INSTANTIATE_TEST_SUITE_P(
    HostileTexts, CacheFileNameSafety,
    ::testing::Values(NameCase{"ParentFolders", "../../etc|passwd|0"}, NameCase{"AbsolutePath", "/tmp/x|y|0"},
                      NameCase{"DotsOnly", "..|.|0"}, NameCase{"Backslashes", "..\\..\\x|y|0"},
                      NameCase{"ControlCharacters", "a\x01\n\r\t|b\x7f|0"}, NameCase{"Emoji", "🎵🎶|🎤|3"},
                      NameCase{"IdeographsBeyondTheFirstPlane",
                               "𠀀𠀁𠀂𠀃𠀄𠀅𠀆𠀇𠀈𠀉𠀊𠀋𠀌𠀍𠀎𠀏𠀐𠀑𠀒𠀓𠀔𠀕𠀖𠀗𠀘𠀙𠀚𠀛𠀜𠀝𠀞𠀟𠀠𠀡𠀢𠀣𠀤𠀥𠀦𠀧𠀨𠀩𠀪𠀫𠀬𠀭𠀮𠀯𠀰𠀱𠀲𠀳𠀴𠀵𠀶𠀷𠀸𠀹𠀺𠀻𠀼𠀽𠀾𠀿𠁀𠁁𠁂𠁃𠁄𠁅𠁆𠁇𠁈𠁉𠁊𠁋𠁌𠁍𠁎𠁏|x|1"},
                      NameCase{"OneCharacterWithManyMarks",
                               "a\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81"
                               "\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81"
                               "\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81"
                               "\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81"
                               "\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81"
                               "\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81"
                               "\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81\xCC\x81"
                               "|x|1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CacheSlug, KeepsEightyCharactersAndTheHashTellsLongKeysApart)
{
    const QString common = QString(79, u'x');
    const QString a = common + QStringLiteral("y|first|1");
    const QString b = common + QStringLiteral("y|second|1");
    EXPECT_EQ(cacheSlug(a), common + u'y');
    EXPECT_EQ(cacheSlug(a), cacheSlug(b));
    EXPECT_NE(cacheFileName(a), cacheFileName(b));
}

TEST(CacheSlug, CountsCharactersNotCodeUnits)
{
    // 80 characters of "e" + combining acute: 160 UTF-16 units, all kept.
    QString accented;
    for (int i = 0; i < 81; ++i)
        accented += QStringLiteral("e\u0301");
    EXPECT_EQ(cacheSlug(accented).size(), 160);
}

TEST(CacheSlug, KeysDifferingOnlyInPunctuationShareTheSlugButNotTheName)
{
    EXPECT_EQ(cacheSlug(u"?|!|0"), QStringLiteral("____0"));
    EXPECT_EQ(cacheSlug(u"a/b|c|0"), cacheSlug(u"a.b|c|0"));
    EXPECT_NE(cacheFileName(u"a/b|c|0"), cacheFileName(u"a.b|c|0"));
}

}  // namespace
