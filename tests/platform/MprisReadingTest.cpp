// The same player situations answered by both backends: the MPRIS one against fake players on a
// private bus, the osascript one by a fake osascript printing what the AppleScript prints for
// that situation. Both must come to the same sample.
#include "FakeOsascript.h"
#include "FakePlayerProcess.h"
#include "PrivateSessionBus.h"
#include "PlaybackPrinting.h"
#include "QuerySupport.h"

#include "platform/mpris/MprisScriptHost.h"
#include "platform/osascript/OsascriptScriptHost.h"

#include <QDBusObjectPath>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Player {
    const char* busName;  // after "org.mpris.MediaPlayer2."
    const char* status;
    QVariantMap metadata;
    qint64 positionMicroseconds = 0;
};

struct Expected {
    const char* source;
    const char* title;
    const char* artist;
    double duration;
    double position;
    bool isPlaying;
};

struct RecordCase {
    const char* name;
    std::vector<Player> players;
    const char* osascriptReply;  // the AppleScript's answer to the same situation; null: no such situation there
    std::optional<Expected> expected;
};

void PrintTo(const RecordCase& c, std::ostream* out)
{
    *out << c.name;
}

QVariantMap track(QVariant title, QVariant artist, QVariant length)
{
    QVariantMap metadata{{"mpris:trackid", QVariant::fromValue(QDBusObjectPath("/t/1"))}};
    for (const auto& [key, value] : {std::pair("xesam:title", title), {"xesam:artist", artist}, {"mpris:length", length}})
        if (value.isValid())
            metadata.insert(key, value);
    return metadata;
}

QVariantMap song(const char* title, qint64 lengthMicroseconds = 215000000)
{
    return track(title, QStringList{"Band"}, lengthMicroseconds);
}

const std::vector<RecordCase> cases = {
    {"spotify_paused_beats_music_playing",
     {{"spotify", "Paused", song("Quiet"), 30000000}, {"vlc", "Playing", song("Loud"), 5000000}},
     "spotify\tQuiet\tBand\t215.0\t30.0\tfalse",
     Expected{"spotify", "Quiet", "Band", 215, 30, false}},
    {"nothing_running", {}, "", std::nullopt},
    {"stopped_players_are_nothing", {{"mpv", "Stopped", song("Idle")}, {"spotify", "Stopped", song("Off")}}, "", std::nullopt},
    {"first_playing_in_bus_name_order",
     {{"d", "Playing", song("Dee")}, {"b", "Paused", song("Bee")}, {"c", "Playing", song("Cee"), 1500000}},
     "music\tCee\tBand\t215\t1.5\ttrue",
     Expected{"music", "Cee", "Band", 215, 1.5, true}},
    {"first_paused_when_none_plays", {{"b", "Paused", song("Bee")}, {"a", "Paused", song("Ay"), 2000000}},
     "music\tAy\tBand\t215\t2\tfalse", Expected{"music", "Ay", "Band", 215, 2, false}},
    {"spotify_instance_name", {{"spotify.instance7389", "Playing", song("Inst"), 4250000}},
     "spotify\tInst\tBand\t215.0\t4.25\ttrue", Expected{"spotify", "Inst", "Band", 215, 4.25, true}},
    {"artist_list_joined", {{"vlc", "Playing", track("Duet", QStringList{"One", "Two"}, qlonglong(200000000)), 1000000}},
     "music\tDuet\tOne, Two\t200\t1\ttrue", Expected{"music", "Duet", "One, Two", 200, 1, true}},
    {"artist_as_a_string", {{"vlc", "Playing", track("Solo", "Single", qlonglong(200000000)), 1000000}},
     "music\tSolo\tSingle\t200\t1\ttrue", Expected{"music", "Solo", "Single", 200, 1, true}},
    {"missing_title_and_artist", {{"vlc", "Playing", track(QVariant(), QVariant(), qlonglong(60000000)), 1000000}},
     "music\t\t\t60\t1\ttrue", Expected{"music", "", "", 60, 1, true}},
    {"position_of_several_hours", {{"vlc", "Paused", song("Long", 36000000000), 18000000000}},
     "music\tLong\tBand\t36000\t18000\tfalse", Expected{"music", "Long", "Band", 36000, 18000, false}},
    {"length_as_int32_and_double",
     {{"a", "Paused", track("Int", "B", int(180000000)), 1000000}, {"b", "Playing", track("Dbl", "B", 181500000.0), 1000000}},
     "music\tDbl\tB\t181.5\t1\ttrue", Expected{"music", "Dbl", "B", 181.5, 1, true}},
    // Only MPRIS players can send these.
    {"tab_and_line_feed_in_the_title",
     {{"vlc", "Playing", track("Left\tRight\nEnd", QStringList{"A\tB"}, qlonglong(100000000)), 1000000}}, nullptr,
     Expected{"music", "Left Right End", "A B", 100, 1, true}},
    {"length_of_minus_one", {{"vlc", "Playing", track("Stream", "B", qlonglong(-1)), 1000000}}, nullptr, std::nullopt},
    {"length_as_a_string", {{"vlc", "Playing", track("Str", "B", "215000000"), 1000000}}, nullptr, std::nullopt},
    {"no_metadata", {{"vlc", "Playing", QVariantMap(), 1000000}}, nullptr, std::nullopt},
    {"title_as_a_number", {{"vlc", "Playing", track(42, "B", qlonglong(100000000)), 1000000}}, nullptr,
     Expected{"music", "", "B", 100, 1, true}},
};

std::optional<PlayerSample> expectedSample(const RecordCase& c, const std::optional<PlayerSample>& actual)
{
    if (!c.expected)
        return std::nullopt;
    const Expected& e = *c.expected;
    return PlayerSample{e.source, e.title, e.artist, e.duration, e.position, e.isPlaying,
                        actual ? actual->sampledAt : QDateTime()};
}

std::string caseName(const ::testing::TestParamInfo<RecordCase>& info)
{
    return info.param.name;
}

class MprisRecord : public ::testing::TestWithParam<RecordCase> {
protected:
    MprisRecord() { ensureQtApplication(); }
    PrivateSessionBus bus;
};

TEST_P(MprisRecord, GivesTheSample)
{
    ASSERT_TRUE(bus.isRunning());
    std::vector<std::unique_ptr<FakePlayerProcess>> players;
    for (const Player& p : GetParam().players) {
        auto& player = players.emplace_back(
            std::make_unique<FakePlayerProcess>(QStringLiteral("org.mpris.MediaPlayer2.") + p.busName));
        ASSERT_TRUE(player->isReady());
        player->setMetadata(p.metadata);
        player->freezePosition(true);
        player->setPosition(p.positionMicroseconds);
        player->setStatus(p.status);
    }
    PlayerQuery query([] { return std::make_unique<MprisScriptHost>(); });
    const std::optional<PlayerSample> sample = runQuery(query);
    EXPECT_EQ(sample, expectedSample(GetParam(), sample));
}

INSTANTIATE_TEST_SUITE_P(Backends, MprisRecord, ::testing::ValuesIn(cases), caseName);

class OsascriptRecord : public ::testing::TestWithParam<RecordCase> {};

TEST_P(OsascriptRecord, GivesTheSample)
{
    ensureQtApplication();
    FakeOsascript osascript;
    osascript.reply(QString::fromUtf8(GetParam().osascriptReply));
    PlayerQuery query(&OsascriptScriptHost::create);
    const std::optional<PlayerSample> sample = runQuery(query);
    EXPECT_EQ(sample, expectedSample(GetParam(), sample));
}

std::vector<RecordCase> osascriptCases()
{
    std::vector<RecordCase> some;
    std::copy_if(cases.begin(), cases.end(), std::back_inserter(some), [](const auto& c) { return c.osascriptReply; });
    return some;
}

INSTANTIATE_TEST_SUITE_P(Backends, OsascriptRecord, ::testing::ValuesIn(osascriptCases()), caseName);

}  // namespace
