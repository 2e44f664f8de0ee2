// Player situations on a private bus, with fake players, and the sample the MPRIS source gives.
#include "FakePlayerProcess.h"
#include "PrivateBus.h"
#include "QuerySupport.h"

#include "platform/mpris/MprisPlayerSource.h"

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

struct ReadingCase {
    const char* name;
    std::vector<Player> players;
    std::optional<PlayerSample> expected;  // sampledAt aside
};

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

PlayerSample sample(const char* source, const char* title, const char* artist, double duration, double position, bool playing)
{
    return PlayerSample{source, title, artist, duration, position, playing};
}

const std::vector<ReadingCase> cases = {
    {"spotify_paused_beats_music_playing",
     {{"spotify", "Paused", song("Quiet"), 30000000}, {"vlc", "Playing", song("Loud"), 5000000}},
     sample("spotify", "Quiet", "Band", 215, 30, false)},
    {"nothing_running", {}, std::nullopt},
    {"stopped_players_are_nothing", {{"mpv", "Stopped", song("Idle")}, {"spotify", "Stopped", song("Off")}}, std::nullopt},
    {"first_playing_in_bus_name_order",
     {{"d", "Playing", song("Dee")}, {"b", "Paused", song("Bee")}, {"c", "Playing", song("Cee"), 1500000}},
     sample("music", "Cee", "Band", 215, 1.5, true)},
    {"first_paused_when_none_plays", {{"b", "Paused", song("Bee")}, {"a", "Paused", song("Ay"), 2000000}},
     sample("music", "Ay", "Band", 215, 2, false)},
    {"spotify_instance_name", {{"spotify.instance7389", "Playing", song("Inst"), 4250000}},
     sample("spotify", "Inst", "Band", 215, 4.25, true)},
    {"artist_as_a_string", {{"vlc", "Playing", track("Solo", "Single", qlonglong(200000000)), 1000000}},
     sample("music", "Solo", "Single", 200, 1, true)},
    {"position_of_several_hours", {{"vlc", "Paused", song("Long", 36000000000), 18000000000}},
     sample("music", "Long", "Band", 36000, 18000, false)},
    {"length_as_int32_and_double",
     {{"a", "Paused", track("Int", "B", int(180000000)), 1000000}, {"b", "Playing", track("Dbl", "B", 181500000.0), 1000000}},
     sample("music", "Dbl", "B", 181.5, 1, true)},
    {"tab_and_line_feed_in_the_title",
     {{"vlc", "Playing", track("Left\tRight\nEnd", QStringList{"A\tB"}, qlonglong(100000000)), 1000000}},
     sample("music", "Left Right End", "A B", 100, 1, true)},
    {"length_of_minus_one", {{"vlc", "Playing", track("Stream", "B", qlonglong(-1)), 1000000}}, std::nullopt},
    {"length_as_a_string", {{"vlc", "Playing", track("Str", "B", "215000000"), 1000000}}, std::nullopt},
    {"no_metadata", {{"vlc", "Playing", QVariantMap(), 1000000}}, std::nullopt},
    {"title_as_a_number", {{"vlc", "Playing", track(42, "B", qlonglong(100000000)), 1000000}},
     sample("music", "", "B", 100, 1, true)},
};

class MprisReading : public ::testing::TestWithParam<ReadingCase> {
protected:
    PrivateBus bus{PrivateBus::session};
};

TEST_P(MprisReading, GivesTheSample)
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
    PlayerQuery query([] { return std::make_unique<MprisPlayerSource>(PlayerRoster::shared()); });
    std::optional<PlayerSample> sample = runQuery(query);
    if (sample)
        sample->sampledAt = QDateTime();
    EXPECT_EQ(sample, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Mpris, MprisReading, ::testing::ValuesIn(cases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
