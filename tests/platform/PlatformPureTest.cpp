// The pure parts of the player backends: MPRIS values, player order, osascript replies, backend choice.
#include "platform/PlayerBackends.h"
#include "platform/mpris/MprisPlayerNames.h"
#include "platform/mpris/MprisPlayerState.h"
#include "platform/osascript/OsascriptPlayerSource.h"
#include "platform/osascript/PlayerQueryScript.h"

#include <QDBusObjectPath>

#include <gtest/gtest.h>

#include <cmath>

namespace {

auto caseName = [](const auto& info) { return std::string(info.param.name); };

struct SecondsCase {
    const char* name;
    QVariant microseconds;
    std::optional<QString> text;  // as the log summary writes it; nothing: no number
};
class MprisSeconds : public ::testing::TestWithParam<SecondsCase> {};
TEST_P(MprisSeconds, AreWrittenPlainOrNotAtAll)
{
    const std::optional<double> seconds = mprisSeconds(GetParam().microseconds);
    EXPECT_EQ(seconds ? std::optional(replyNumber(*seconds)) : std::nullopt, GetParam().text);
}
INSTANTIATE_TEST_SUITE_P(Mpris, MprisSeconds,
                         ::testing::Values(SecondsCase{"below_a_millisecond", qlonglong(7), "0.000007"},
                                           SecondsCase{"zero", qlonglong(0), "0"},
                                           SecondsCase{"int32", int(215500000), "215.5"},
                                           SecondsCase{"uint64", qulonglong(215000000), "215"},
                                           SecondsCase{"huge_double_without_exponent", 1e22, "10000000000000000"},
                                           SecondsCase{"minus_one_means_unknown", qlonglong(-1), std::nullopt},
                                           SecondsCase{"string", QStringLiteral("215000000"), std::nullopt},
                                           SecondsCase{"bool", true, std::nullopt},
                                           SecondsCase{"nan", std::nan(""), std::nullopt}),
                         caseName);

// Tabs and line feeds inside a value become spaces, so that they never shift the fields.
TEST(MprisReading, SummaryIsTheScriptsRecord)
{
    const MprisPlayerState state{QStringLiteral("Paused"),
                                 {{"xesam:title", "T\tx\ny"},
                                  {"xesam:artist", QStringList{"A\tB", "C"}},
                                  {"mpris:length", qlonglong(215000000)},
                                  {"xesam:url", "file:///a.flac"}},
                                 QVariant()};
    EXPECT_EQ(mprisReading(u"music", state, 12.5000004).summary,
              "music\tT x y\tA B, C\t215\t12.5\tfalse\tfile:///a.flac");
    EXPECT_EQ(mprisReading(u"spotify", MprisPlayerState{"Playing", {}, {}}, std::nullopt).summary,
              "spotify\t\t\t\t\ttrue");
}

struct ReadingCase {
    const char* name;
    QVariantMap metadata;
    std::optional<double> position;
    std::optional<PlayerSample> sample;
};
QVariantMap track(QVariant title, QVariant length)
{
    return {{"xesam:url", "file:///a.flac"}, {"xesam:title", title}, {"xesam:artist", "A"}, {"mpris:length", length}};
}
PlayerSample sample(const char* source, const char* title, double duration, double position, bool playing,
                    const char* url = "")
{
    return PlayerSample{source, title, "A", duration, position, playing, {}, url};
}
PlayerSample playing(const char* title, double duration, double position)
{
    return sample("music", title, duration, position, true, "file:///a.flac");
}
class MprisSample : public ::testing::TestWithParam<ReadingCase> {};
TEST_P(MprisSample, NeedsALengthAndAPosition)
{
    const MprisPlayerState state{QStringLiteral("Playing"), GetParam().metadata, QVariant()};
    EXPECT_EQ(mprisReading(u"music", state, GetParam().position).sample, GetParam().sample);
}
INSTANTIATE_TEST_SUITE_P(
    Mpris, MprisSample,
    ::testing::Values(ReadingCase{"artist_as_a_string", track("T", qlonglong(200000000)), 1, playing("T", 200, 1)},
                      ReadingCase{"to_the_microsecond", track("T", 181500000.4), 12.5000004, playing("T", 181.5, 12.5)},
                      ReadingCase{"several_hours", track("T", int(0x7fffffff)), 2000, playing("T", 2147.483647, 2000)},
                      ReadingCase{"title_as_a_number", track(42, qlonglong(1000000)), 1, playing("", 1, 1)},
                      ReadingCase{"no_position", track("T", qlonglong(1000000)), std::nullopt, std::nullopt},
                      ReadingCase{"length_of_minus_one", track("T", qlonglong(-1)), 1, std::nullopt},
                      ReadingCase{"length_as_a_string", track("T", "215000000"), 1, std::nullopt},
                      ReadingCase{"no_metadata", {}, 1, std::nullopt}),
    caseName);

TEST(MprisPlayerOrder, SpotifyFirstThenOthersEachSorted)
{
    const MprisPlayerNames names = mprisPlayerNames({"org.mpris.MediaPlayer2.vlc", ":1.7", "org.freedesktop.DBus",
                                                     "org.mpris.MediaPlayer2.spotify.instance42",
                                                     "org.mpris.MediaPlayer2.Amarok", "org.mpris.MediaPlayer2.spotify",
                                                     "org.mpris.MediaPlayer2.spotifyd", "org.mpris.MediaPlayer2."});
    EXPECT_EQ(names.spotify,
              (QStringList{"org.mpris.MediaPlayer2.spotify", "org.mpris.MediaPlayer2.spotify.instance42"}));
    EXPECT_EQ(names.others, (QStringList{"org.mpris.MediaPlayer2.Amarok", "org.mpris.MediaPlayer2.spotifyd",
                                         "org.mpris.MediaPlayer2.vlc"}));
}

struct ReplyCase {
    const char* name;
    const char* reply;
    std::optional<PlayerSample> expected;
};
class OsascriptReply : public ::testing::TestWithParam<ReplyCase> {};
TEST_P(OsascriptReply, IsASampleOrNothing)
{
    EXPECT_EQ(readPlayerReply(QString::fromUtf8(GetParam().reply)), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(
    Osascript, OsascriptReply,
    ::testing::Values(
        ReplyCase{"url", "spotify\tT\tA\t215\t1\ttrue\tfile:///x\t\t",
                  sample("spotify", "T", 215, 1, true, "file:///x")},
        ReplyCase{"fields_are_not_trimmed", "music\t T \tA\t215\t1\ttrue", sample("music", " T ", 215, 1, true)},
        ReplyCase{"exponents", "music\tT\tA\t1.0E+4\t2.5E-1\ttrue", sample("music", "T", 10000, 0.25, true)},
        ReplyCase{"plus_sign", "music\tT\tA\t+215\t-1.5\ttrue", sample("music", "T", 215, -1.5, true)},
        ReplyCase{"capital_True_is_not_playing", "music\tT\tA\t215\t1\tTrue", sample("music", "T", 215, 1, false)},
        ReplyCase{"true_lf_is_not_playing", "music\tT\tA\t215\t1\ttrue\n", sample("music", "T", 215, 1, false)}),
    caseName);
// Too few fields, a comma, blanks, two signs, nan, inf or out of range, a tab in the title.
TEST(OsascriptMalformedReply, IsNothing)
{
    for (const char* reply :
         {"", "spotify\tT\tA\t215\t12.5", "music\tT\tA\t215,5\t1\ttrue", "music\tT\tA\t 215\t1\ttrue",
          "music\tT\tA\t215\t\n1\ttrue", "music\tT\tA\t215\t1 \ttrue", "music\tT\tA\t\t1\ttrue",
          "music\tT\tA\t+-215\t1\ttrue", "music\tT\tA\t+ 215\t1\ttrue", "music\tT\tA\tnan\t1\ttrue",
          "music\tT\tA\t215\tinf\ttrue", "music\tT\tA\t1e400\t1\ttrue", "music\tLeft\tRight\tA\t215\t1\ttrue"})
        EXPECT_EQ(readPlayerReply(QString::fromUtf8(reply)), std::nullopt) << reply;
}

struct ErrorCase {
    const char* name;
    const char* standardError;
    PlayerError error;
};
class OsascriptError : public ::testing::TestWithParam<ErrorCase> {};
TEST_P(OsascriptError, GivesNumberAndMessage)
{
    EXPECT_EQ(osascriptError(QString::fromUtf8(GetParam().standardError)), GetParam().error);
}
INSTANTIATE_TEST_SUITE_P(
    Osascript, OsascriptError,
    ::testing::Values(
        ErrorCase{"execution_error", "27:155: execution error: Not authorized. (-1743)\n", {-1743, "Not authorized."}},
        ErrorCase{"syntax_error", "0:4: syntax error: Expected x. (-2741)", {-2741, "syntax error: Expected x."}},
        ErrorCase{"parentheses_inside",
                  "1:2: execution error: Can’t get (1) of {}. (-1728)",
                  {-1728, "Can’t get (1) of {}."}},
        ErrorCase{"no_number", "osascript: no such file", {std::nullopt, "osascript: no such file"}},
        ErrorCase{"nothing", "  \n", {std::nullopt, std::nullopt}}),
    caseName);

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
              c.chosen);
}
INSTANTIATE_TEST_SUITE_P(
    Backends, BackendChoice,
    ::testing::Values(BackendCase{"linux_default", {"mpris", "osascript"}, "", "debian", "mpris"},
                      BackendCase{"mac_default", {"mpris", "osascript"}, "", "macos", "osascript"},
                      BackendCase{"requested_and_compiled", {"mpris", "osascript"}, "osascript", "debian", "osascript"},
                      BackendCase{"requested_but_absent", {"osascript"}, "mpris", "macos", "osascript"},
                      BackendCase{"unknown_request", {"mpris", "osascript"}, "winrt", "ubuntu", "mpris"}),
    caseName);

}  // namespace
