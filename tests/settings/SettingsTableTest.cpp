#include "LogLines.h"
#include "SettingsTestSupport.h"
#include <QJsonArray>

using namespace Qt::StringLiterals;

namespace {
using FallbackCase = std::tuple<const char*, const char*, const char*>;  // stored JSON, key, value read

class StoredFallbacks : public SettingsFile, public ::testing::WithParamInterface<FallbackCase> {};

TEST_P(StoredFallbacks, ReadTheStoredFormOrTheDefault)
{
    const auto [json, key, value] = GetParam();
    open(json);
    EXPECT_EQ(printed(QString::fromUtf8(key)), QString::fromUtf8(value)) << json;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, StoredFallbacks,
    ::testing::Values(FallbackCase{R"({"lyricStyle":"fisheye visual"})", "lyricStyle", "Ship"},
                      FallbackCase{R"({"lyricStyle":2})", "lyricStyle", "Ship"},
                      FallbackCase{R"({"keepScreenAwake":"false"})", "keepScreenAwake", "true"},
                      FallbackCase{R"({"autoSyncColors":"true"})", "autoSyncColors", "false"},
                      FallbackCase{R"({"textScale":1e308})", "textScale", "1e+308"},  // kept; only drawing clamps
                      FallbackCase{R"({"textScale":"2.5"})", "textScale", "1"},
                      FallbackCase{R"({"lyricFont":"Comic Sans"})", "lyricFont", "SF Pro"},
                      FallbackCase{"{\"color.text\":\"  #ff000080\\t\"}", "color.text", "#FF000080"},
                      FallbackCase{R"({"color.text":"#FF0000"})", "color.text", "#FFFFFFFF"},
                      FallbackCase{R"({"color.highlight":"FF0000FF"})", "color.highlight", "#FF0000FF"},
                      FallbackCase{R"({"color.secondary":[1,2]})", "color.secondary", "#FFFFFFB3"},
                      FallbackCase{
                          R"({"disabledDisplays":["1","x","+7","-0","-1","٣","4294967296","4294967295",""," 3",5]})",
                          "disabledDisplays", "0,1,7,4294967295"},
                      FallbackCase{R"({"disabledDisplays":"1"})", "disabledDisplays", "none"},
                      FallbackCase{R"({"preferredPlayers":["vlc", 3, " ", " mpv "]})", "preferredPlayers", "vlc,mpv"},
                      FallbackCase{R"({"ignoredPlayers":[]})", "ignoredPlayers", "none"},
                      FallbackCase{R"({"preferredPlayers":"vlc"})", "preferredPlayers", "none"},
                      FallbackCase{R"({"lyricSources":["lrclib"]})", "lyricSources", "lrclib"},
                      FallbackCase{R"({"lyricSources":["lrclib","genius"]})", "lyricSources", "ncm,lrclib"},
                      FallbackCase{R"({"lyricSources":["ncm","ncm"]})", "lyricSources", "ncm,lrclib"},
                      FallbackCase{R"({"lyricSources":[]})", "lyricSources", "ncm,lrclib"}));

// A value as a terminal writes it: refused with a reason, or stored, logged, and read back the
// same after a restart.
struct ValueCase {
    const char* key;
    const char* text;
    bool taken;
    std::string printed;  // by `get` after a restart; for a refused value, the reason
    std::optional<QJsonValue> stored = std::nullopt;  // undefined: absent
    const char* logged = nullptr;
};

class Values : public SettingsFile, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(Values, AreParsedStoredLoggedAndReadBack)
{
    const ValueCase& c = GetParam();
    const SettingRow* row = settingRow(QString::fromUtf8(c.key));
    ASSERT_NE(row, nullptr);
    const ParsedSetting parsed = row->parse(QString::fromUtf8(c.text));
    if (!c.taken) {
        EXPECT_EQ(std::get<QString>(parsed).toStdString(), c.printed);
        return;
    }
    LogLines log;
    settings->setValue(row->id, std::get<SettingValue>(parsed));
    EXPECT_EQ(log.newMessages(), c.logged ? QStringList{QString::fromUtf8(c.logged)} : QStringList());
    EXPECT_EQ(file().value(row->key), c.stored.value_or(file().value(row->key)));
    open();
    EXPECT_EQ(printed(row->key).toStdString(), c.printed);
}

const char *styles = R"(wants one of "Ship", "Fisheye", "Visual", "Fisheye Visual")",
           *scale = "wants a number from 0.25 to 4", *colour = "wants a colour as #RRGGBB or #RRGGBBAA";
const std::string ids = "wants display IDs (0 to 4294967295) separated by commas, not ",
                  names = "wants player names (letters, digits, '.', '_', '-') separated by commas, not ";
INSTANTIATE_TEST_SUITE_P(
    Terminal, Values,
    ::testing::Values(
        ValueCase{"lyricStyle", "Fisheye Visual", true, "Fisheye Visual", "Fisheye Visual", "style → Fisheye Visual"},
        ValueCase{"lyricStyle", " fisheye-visual", true, "Fisheye Visual", std::nullopt, "style → Fisheye Visual"},
        ValueCase{"lyricStyle", "wobbly", false, styles},
        ValueCase{"lyricFont", "avenir next", true, "Avenir Next", "Avenir Next", "font → Avenir Next"},
        ValueCase{"keepScreenAwake", "false", true, "false", false, "keep screen awake → false"},
        ValueCase{"keepScreenAwake", "ON", true, "true", true, "keep screen awake → true"},
        ValueCase{"keepScreenAwake", "maybe", false, "wants true or false"},
        ValueCase{"showWhenUnlocked", "0", true, "false", false, "non-lockscreen visibility → false"},
        ValueCase{"autoSyncColors", "yes", true, "true", true, "auto sync colors → true"},
        ValueCase{"textScale", "1.25", true, "1.25", 1.25}, ValueCase{"textScale", "0.25", true, "0.25"},
        ValueCase{"textScale", "4", true, "4", 4.0}, ValueCase{"textScale", "0.24", false, scale},
        ValueCase{"textScale", "nan", false, scale},
        ValueCase{"color.highlight", "#ff000080", true, "#FF000080", "#FF000080"},
        ValueCase{"color.text", "00FF00", true, "#00FF00FF", "#00FF00FF"},
        ValueCase{"color.text", "#00FF0", false, colour}, ValueCase{"color.secondary", "#+1000000", false, colour},
        ValueCase{"disabledDisplays", "7, 3 4294967295", true, "3,7,4294967295"},
        ValueCase{"disabledDisplays", "9", true, "9", QJsonArray{"9"}},
        ValueCase{"disabledDisplays", "None", true, "none", QJsonArray()},
        ValueCase{"disabledDisplays", "4294967296", false, ids + "\"4294967296\""},
        ValueCase{"preferredPlayers", "vlc, org.mpris.MediaPlayer2.mpv,VLC", true, "vlc,mpv", QJsonArray{"vlc", "mpv"},
                  "preferredPlayers → vlc, mpv"},
        // A list is stored only when it changes something: the default ignore list is not written.
        ValueCase{"preferredPlayers", "none", true, "none", QJsonValue(QJsonValue::Undefined)},
        ValueCase{"ignoredPlayers", "none", true, "none", QJsonArray(), "ignoredPlayers → none"},
        ValueCase{"ignoredPlayers", "firefox,plasma-browser-integration", true, "firefox,plasma-browser-integration",
                  QJsonArray{"firefox", "plasma-browser-integration"},
                  "ignoredPlayers → firefox, plasma-browser-integration"},
        ValueCase{"ignoredPlayers", "fire fox;", false, names + "\"fox;\""},
        ValueCase{"lyricSources", "LRCLIB, ncm,lrclib", true, "lrclib,ncm", QJsonArray{"lrclib", "ncm"},
                  "lyric sources → lrclib, ncm"},
        ValueCase{"lyricSources", "lrclib genius", false,
                  R"(wants source names (ncm, lrclib) separated by commas, not "genius")"},
        ValueCase{"lyricSources", "none", false, "wants at least one source (ncm, lrclib)"}));

TEST_F(SettingsFile, ACorruptFileIsKeptAsideOnceEachAndTheFirstWriteIsWellFormed)
{
    EXPECT_FALSE(QFile::exists(path()));  // loading writes nothing
    open("{\"lyricStyle\":\"Visual\", oops");
    EXPECT_EQ(settings->style(), LyricStyle::ship);
    settings->setStyle(LyricStyle::visual);
    EXPECT_EQ(file().value(QLatin1String("lyricStyle")).toString(), u"Visual"_s);
    open("[1,2,3]");  // parses, but is not an object
    QFile aside(path() + u".corrupt"_s);
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), QByteArray("{\"lyricStyle\":\"Visual\", oops"));
    EXPECT_TRUE(QFile::exists(path() + u".corrupt.2"_s));
}
}  // namespace
