#include "settings/AppSettings.h"
#include "settings/JsonFileDefaultsStore.h"
#include "settings/StoredSettings.h"

#include "SettingsTestSupport.h"

#include <functional>

namespace {

class LoadedFrom : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("Orvane/defaults.json")); }

    std::unique_ptr<AppSettings> settingsFrom(const char* json)
    {
        QDir().mkpath(dir.filePath(QStringLiteral("Orvane")));
        writeFile(path(), QByteArray(json));
        store = std::make_unique<JsonFileDefaultsStore>(path());
        return std::make_unique<AppSettings>(*store);
    }
    std::unique_ptr<JsonFileDefaultsStore> store;
};

TEST_F(LoadedFrom, FreshStoreGivesEveryDefault)
{
    store = std::make_unique<JsonFileDefaultsStore>(path());
    const AppSettings settings(*store);
    EXPECT_EQ(settings.style(), LyricStyle::ship);
    EXPECT_EQ(settings.textColor(), Color::white());
    EXPECT_EQ(settings.highlightColor(), Color::white());
    EXPECT_EQ(settings.secondaryColor(), Color::white(0.7));
    EXPECT_FALSE(settings.autoSyncColors());
    EXPECT_TRUE(settings.keepScreenAwake());
    EXPECT_TRUE(settings.showWhenUnlocked());
    EXPECT_EQ(settings.lyricFont(), LyricFont::sfPro);
    EXPECT_EQ(settings.textScale(), 1.0);
    EXPECT_TRUE(settings.disabledDisplays().isEmpty());
    EXPECT_FALSE(QFile::exists(path()));  // loading writes nothing
}

struct FallbackCase {
    const char* name;
    const char* json;
    std::function<bool(const AppSettings&)> holds;
};

class StoredFallbacks : public LoadedFrom, public ::testing::WithParamInterface<FallbackCase> {};

TEST_P(StoredFallbacks, Load)
{
    const auto settings = settingsFrom(GetParam().json);
    EXPECT_TRUE(GetParam().holds(*settings)) << GetParam().json;
}

const Color red128{1, 0, 0, 128 / 255.0};

INSTANTIATE_TEST_SUITE_P(
    Keys, StoredFallbacks,
    ::testing::Values(
        FallbackCase{"StyleExact", R"({"lyricStyle":"Fisheye Visual"})",
                     [](const AppSettings& s) { return s.style() == LyricStyle::fisheyeVisual; }},
        FallbackCase{"StyleWrongCase", R"({"lyricStyle":"fisheye visual"})",
                     [](const AppSettings& s) { return s.style() == LyricStyle::ship; }},
        FallbackCase{"StyleNotAString", R"({"lyricStyle":2})",
                     [](const AppSettings& s) { return s.style() == LyricStyle::ship; }},
        FallbackCase{"KeepAwakeFalse", R"({"keepScreenAwake":false})",
                     [](const AppSettings& s) { return !s.keepScreenAwake(); }},
        FallbackCase{"KeepAwakeAsString", R"({"keepScreenAwake":"false"})",
                     [](const AppSettings& s) { return s.keepScreenAwake(); }},
        FallbackCase{"ShowWhenUnlockedAsNumber", R"({"showWhenUnlocked":0})",
                     [](const AppSettings& s) { return s.showWhenUnlocked(); }},
        FallbackCase{"AutoSyncTrue", R"({"autoSyncColors":true})", [](const AppSettings& s) { return s.autoSyncColors(); }},
        FallbackCase{"AutoSyncAsString", R"({"autoSyncColors":"true"})",
                     [](const AppSettings& s) { return !s.autoSyncColors(); }},
        FallbackCase{"ScaleNotClamped", R"({"textScale":2.5})", [](const AppSettings& s) { return s.textScale() == 2.5; }},
        FallbackCase{"ScaleHuge", R"({"textScale":1e308})", [](const AppSettings& s) { return s.textScale() == 1e308; }},
        FallbackCase{"ScaleAsString", R"({"textScale":"2.5"})", [](const AppSettings& s) { return s.textScale() == 1.0; }},
        FallbackCase{"ScaleNull", R"({"textScale":null})", [](const AppSettings& s) { return s.textScale() == 1.0; }},
        FallbackCase{"FontExact", R"({"lyricFont":"Avenir Next"})",
                     [](const AppSettings& s) { return s.lyricFont() == LyricFont::avenirNext; }},
        FallbackCase{"FontUnknown", R"({"lyricFont":"Comic Sans"})",
                     [](const AppSettings& s) { return s.lyricFont() == LyricFont::sfPro; }},
        FallbackCase{"ColorTrimmed", "{\"color.text\":\"  #ff000080\\t\"}",
                     [](const AppSettings& s) { return s.textColor() == red128; }},
        FallbackCase{"ColorSixDigits", R"({"color.text":"#FF0000"})",
                     [](const AppSettings& s) { return s.textColor() == Color::white(); }},
        FallbackCase{"ColorWithoutHash", R"({"color.highlight":"FF0000FF"})",
                     [](const AppSettings& s) { return s.highlightColor() == Color{1, 0, 0, 1}; }},
        FallbackCase{"ColorTrailingLineBreak", R"({"color.text":"#FF0000FF\n"})",
                     [](const AppSettings& s) { return s.textColor() == Color::white(); }},
        FallbackCase{"SecondaryJunkGivesItsOwnDefault", R"({"color.secondary":[1,2]})",
                     [](const AppSettings& s) { return s.secondaryColor() == Color::white(0.7); }},
        FallbackCase{"DisplaysParsed", R"({"disabledDisplays":["1","x","+7","4294967296","4294967295",""," 3",5]})",
                     [](const AppSettings& s) { return s.disabledDisplays() == QSet<quint32>{1, 7, 4294967295u}; }},
        FallbackCase{"DisplaysNotAnArray", R"({"disabledDisplays":"1"})",
                     [](const AppSettings& s) { return s.disabledDisplays().isEmpty(); }},
        FallbackCase{"PlayersAbsent", R"({})",
                     [](const AppSettings& s) { return s.playerPreferences() == PlayerPreferences{}; }},
        FallbackCase{"PlayersSkipBlanksAndNonStrings", R"({"preferredPlayers":["vlc", 3, " ", " mpv "]})",
                     [](const AppSettings& s) { return s.playerPreferences().preferred == QStringList{"vlc", "mpv"}; }},
        FallbackCase{"IgnoredEmptiedStaysEmpty", R"({"ignoredPlayers":[]})",
                     [](const AppSettings& s) { return s.playerPreferences().ignored.isEmpty(); }},
        FallbackCase{"IgnoredNotAnArrayIsTheDefault", R"({"ignoredPlayers":"firefox"})",
                     [](const AppSettings& s) { return s.playerPreferences().ignored == PlayerPreferences::defaultIgnored(); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoadedFrom, CorruptFileIsKeptAsideAndTheFirstWriteIsWellFormed)
{
    const QByteArray junk = "{\"lyricStyle\":\"Visual\", oops";
    const auto settings = settingsFrom(junk.constData());
    EXPECT_EQ(settings->style(), LyricStyle::ship);
    QFile aside(path() + QStringLiteral(".corrupt"));
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), junk);
    settings->setStyle(LyricStyle::visual);
    EXPECT_EQ(readJsonObject(path()).value(QLatin1String("lyricStyle")).toString(), QStringLiteral("Visual"));
}

TEST_F(LoadedFrom, ASecondCorruptFileDoesNotReplaceTheFirst)
{
    settingsFrom("not json");
    store.reset();
    settingsFrom("[1,2,3]");  // parses, but is not an object
    EXPECT_TRUE(QFile::exists(path() + QStringLiteral(".corrupt")));
    EXPECT_TRUE(QFile::exists(path() + QStringLiteral(".corrupt.2")));
}

TEST(DisplayId, ParsesLikeAStandardUnsignedParse)
{
    using stored_settings::readDisplayId;
    EXPECT_EQ(readDisplayId(u"0"), 0u);
    EXPECT_EQ(readDisplayId(u"-0"), 0u);
    EXPECT_EQ(readDisplayId(u"-1"), std::nullopt);
    EXPECT_EQ(readDisplayId(u"+"), std::nullopt);
    EXPECT_EQ(readDisplayId(u"99999999999999999999999"), std::nullopt);
    EXPECT_EQ(readDisplayId(u"٣"), std::nullopt);  // a non-ASCII digit
}

}  // namespace
