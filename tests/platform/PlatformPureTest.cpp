// The pure parts of the player backends: record fields from MPRIS values, player order, the
// osascript error report and the backend choice.
#include "platform/PlayerBackends.h"
#include "platform/mpris/MprisPlayerNames.h"
#include "platform/mpris/MprisReplyRecord.h"
#include "platform/osascript/OsascriptScriptHost.h"

#include <QDBusObjectPath>

#include <gtest/gtest.h>

inline void PrintTo(const QString& s, std::ostream* out)
{
    *out << '"' << s.toStdString() << '"';
}

struct SecondsCase {
    const char* name;
    QVariant microseconds;
    std::optional<QString> text;  // as written into the record; nothing: the field stays empty
};

class MprisSeconds : public ::testing::TestWithParam<SecondsCase> {};

TEST_P(MprisSeconds, AreWrittenPlainOrNotAtAll)
{
    const std::optional<double> seconds = mprisSeconds(GetParam().microseconds);
    EXPECT_EQ(seconds ? std::optional(replyNumber(*seconds)) : std::nullopt, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Mpris, MprisSeconds,
    ::testing::Values(SecondsCase{"int64_whole_seconds", qlonglong(215000000), QStringLiteral("215")},
                      SecondsCase{"int64_fraction", qlonglong(1047266), QStringLiteral("1.047266")},
                      SecondsCase{"below_a_millisecond", qlonglong(7), QStringLiteral("0.000007")},
                      SecondsCase{"several_hours_without_exponent", qlonglong(36000000000), QStringLiteral("36000")},
                      SecondsCase{"zero", qlonglong(0), QStringLiteral("0")},
                      SecondsCase{"int32", int(215500000), QStringLiteral("215.5")},
                      SecondsCase{"uint64", qulonglong(215000000), QStringLiteral("215")},
                      SecondsCase{"double", 215250000.0, QStringLiteral("215.25")},
                      SecondsCase{"huge_double_without_exponent", 1e22, QStringLiteral("10000000000000000")},
                      SecondsCase{"minus_one_means_unknown", qlonglong(-1), std::nullopt},
                      SecondsCase{"string", QStringLiteral("215000000"), std::nullopt},
                      SecondsCase{"bool", true, std::nullopt},
                      SecondsCase{"missing", QVariant(), std::nullopt},
                      SecondsCase{"nan", std::nan(""), std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

struct TextCase {
    const char* name;
    QVariant value;
    QString text;
};

class MprisText : public ::testing::TestWithParam<TextCase> {};

TEST_P(MprisText, NeverShiftsTheRecord)
{
    EXPECT_EQ(mprisText(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Mpris, MprisText,
    ::testing::Values(TextCase{"string", QStringLiteral("Song"), QStringLiteral("Song")},
                      TextCase{"artist_list_joined", QStringList{"One", "Two", "Three"}, QStringLiteral("One, Two, Three")},
                      TextCase{"empty_list", QStringList{}, QString()},
                      TextCase{"tab_and_line_feed_become_spaces", QStringLiteral("A\tB\nC\t\t"), QStringLiteral("A B C  ")},
                      TextCase{"tab_inside_a_list_item", QStringList{"A\tB", "C"}, QStringLiteral("A B, C")},
                      TextCase{"number_is_no_text", 42, QString()},
                      TextCase{"object_path_is_no_text", QVariant::fromValue(QDBusObjectPath("/x")), QString()},
                      TextCase{"missing", QVariant(), QString()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MprisRecord, IsTheScriptsSixFields)
{
    const MprisPlayerState state{QStringLiteral("Paused"),
                                 {{"xesam:title", "T\tx"}, {"xesam:artist", QStringList{"A", "B"}},
                                  {"mpris:length", qlonglong(215000000)}},
                                 QVariant()};
    EXPECT_EQ(mprisReplyRecord(u"music", state, 12.5), "music\tT x\tA, B\t215\t12.5\tfalse");
    EXPECT_EQ(mprisReplyRecord(u"spotify", MprisPlayerState{"Playing", {}, {}}, std::nullopt), "spotify\t\t\t\t\ttrue");
}

TEST(MprisPlayerOrder, SpotifyFirstThenOthersEachSorted)
{
    const MprisPlayerNames names = mprisPlayerNames(
        {"org.mpris.MediaPlayer2.vlc", ":1.7", "org.freedesktop.DBus", "org.mpris.MediaPlayer2.spotify.instance42",
         "org.mpris.MediaPlayer2.Amarok", "org.mpris.MediaPlayer2.spotify", "org.mpris.MediaPlayer2.spotifyd",
         "org.mpris.MediaPlayer2."});
    EXPECT_EQ(names.spotify, (QStringList{"org.mpris.MediaPlayer2.spotify", "org.mpris.MediaPlayer2.spotify.instance42"}));
    EXPECT_EQ(names.others,
              (QStringList{"org.mpris.MediaPlayer2.Amarok", "org.mpris.MediaPlayer2.spotifyd", "org.mpris.MediaPlayer2.vlc"}));
}

struct ErrorCase {
    const char* name;
    const char* standardError;
    ScriptError error;
};

class OsascriptError : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(OsascriptError, GivesNumberAndMessage)
{
    EXPECT_EQ(osascriptError(QString::fromUtf8(GetParam().standardError)), GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Osascript, OsascriptError,
    ::testing::Values(
        ErrorCase{"execution_error", "27:155: execution error: Not authorized to send Apple events to Music. (-1743)\n",
                  {-1743, QStringLiteral("Not authorized to send Apple events to Music.")}},
        ErrorCase{"syntax_error", "0:4: syntax error: Expected expression but found end of script. (-2741)",
                  {-2741, QStringLiteral("syntax error: Expected expression but found end of script.")}},
        ErrorCase{"parentheses_inside_the_message", "1:2: execution error: Can’t get item (1) of {}. (-1728)",
                  {-1728, QStringLiteral("Can’t get item (1) of {}.")}},
        ErrorCase{"no_number", "osascript: no such file", {std::nullopt, QStringLiteral("osascript: no such file")}},
        ErrorCase{"nothing", "  \n", {std::nullopt, std::nullopt}}),
    [](const auto& info) { return std::string(info.param.name); });

struct BackendCase {
    const char* name;
    QStringList compiled;
    const char* requested;
    const char* productType;
    const char* chosen;
};

class BackendChoice : public ::testing::TestWithParam<BackendCase> {};

TEST_P(BackendChoice, FollowsRequestThenPlatform)
{
    const BackendCase& c = GetParam();
    EXPECT_EQ(choosePlayerBackend(c.compiled, QString::fromUtf8(c.requested), QString::fromUtf8(c.productType)),
              QString::fromUtf8(c.chosen));
}

INSTANTIATE_TEST_SUITE_P(
    Backends, BackendChoice,
    ::testing::Values(BackendCase{"linux_default", {"mpris", "osascript"}, "", "debian", "mpris"},
                      BackendCase{"mac_default", {"osascript"}, "", "macos", "osascript"},
                      BackendCase{"requested_and_compiled", {"mpris", "osascript"}, "osascript", "debian", "osascript"},
                      BackendCase{"requested_but_absent", {"osascript"}, "mpris", "macos", "osascript"},
                      BackendCase{"unknown_request", {"mpris", "osascript"}, "winrt", "ubuntu", "mpris"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Backends, ThisBuildHasBothAndPrefersMpris)
{
    QStringList names;
    for (const PlayerBackend& backend : compiledPlayerBackends())
        names << backend.name;
    EXPECT_EQ(names, (QStringList{"mpris", "osascript"}));
}
