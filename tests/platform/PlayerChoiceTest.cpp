// Which player the MPRIS source follows, among fake players on a private bus.
#include "EventLoopWait.h"
#include "FakeMprisPlayer.h"
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
    QVariant trackId = QVariant::fromValue(QDBusObjectPath("/t/1"));
};

struct ChoiceCase {
    const char* name;
    std::vector<Player> players;
    PlayerPreferences preferences;
    const char* followed;  // also the track's title; nullptr: nothing playing
};

PlayerPreferences preferring(QStringList preferred)
{
    return {std::move(preferred), PlayerPreferences::defaultIgnored()};
}
PlayerPreferences ignoring(QStringList ignored) { return {{}, std::move(ignored)}; }
QVariant path(const char* text) { return QVariant::fromValue(QDBusObjectPath(text)); }

const std::vector<ChoiceCase> choiceCases = {
    {"nothing_running", {}, {}, nullptr},
    {"stopped_players_are_nothing", {{"mpv", "Stopped"}, {"spotify", "Stopped"}}, {}, nullptr},
    {"spotify_paused_beats_music_playing", {{"spotify", "Paused"}, {"vlc", "Playing"}}, {}, "spotify"},
    {"first_playing_in_bus_name_order", {{"d", "Playing"}, {"b", "Paused"}, {"c", "Playing"}}, {}, "c"},
    {"first_paused_when_none_plays", {{"b", "Paused"}, {"a", "Paused"}}, {}, "a"},
    {"playing_browser_loses_to_paused_player", {{"firefox.instance_1_42", "Playing"}, {"vlc", "Paused"}}, {}, "vlc"},
    {"only_ignored_players_is_nothing", {{"chromium.instance9", "Playing"}, {"playerctld", "Playing"}}, {}, nullptr},
    {"a_name_sharing_a_browsers_prefix_is_followed", {{"chromeless", "Paused"}}, {}, "chromeless"},
    {"ignoring_is_without_case", {{"VLC", "Playing"}, {"mpv", "Paused"}}, ignoring({"vlc"}), "mpv"},
    {"spotify_ad_is_nothing", {{"spotify", "Playing", path("/com/spotify/ad/12")}, {"vlc", "Paused"}}, {}, "vlc"},
    {"spotify_ad_as_a_uri", {{"spotify", "Playing", QString("spotify:ad:000000012c603a66")}}, {}, nullptr},
    {"a_track_named_like_an_ad_is_not_one", {{"spotify", "Playing", path("/com/spotify/track/ad1")}}, {}, "spotify"},
    {"preferred_order_among_the_playing", {{"mpv", "Playing"}, {"vlc", "Playing"}}, preferring({"vlc", "mpv"}), "vlc"},
    {"playing_preferred_beats_paused_one", {{"mpv", "Playing"}, {"vlc", "Paused"}}, preferring({"vlc", "mpv"}), "mpv"},
    {"preferred_players_only", {{"spotify", "Playing"}, {"mpv", "Playing"}}, preferring({"vlc"}), nullptr},
    {"a_preferred_browser_counts", {{"firefox.instance_2", "Playing"}}, preferring({"firefox"}), "firefox.instance_2"},
};

class PlayerChoice : public ::testing::TestWithParam<ChoiceCase> {
protected:
    PrivateBus bus{PrivateBus::session};
};

}  // namespace

TEST_P(PlayerChoice, FollowsTheRightPlayer)
{
    std::vector<std::unique_ptr<FakeMprisPlayer>> players;
    for (const Player& p : GetParam().players) {
        auto& player = players.emplace_back(
            std::make_unique<FakeMprisPlayer>(QString("org.mpris.MediaPlayer2.") + p.busName));
        ASSERT_TRUE(player->isReady());
        QVariantMap metadata = trackMetadata(QString::fromUtf8(p.busName), "Band", 200000000);
        metadata.insert("mpris:trackid", p.trackId);
        player->setMetadata(metadata);
        player->setStatus(p.status);
    }
    PlayerRoster roster;
    roster.setPreferences(GetParam().preferences);
    const PlayerResult result = MprisPlayerSource(roster).read();
    ASSERT_TRUE(std::holds_alternative<PlayerReading>(result));
    const std::optional<PlayerSample>& sample = std::get<PlayerReading>(result).sample;
    ASSERT_EQ(sample ? std::optional(sample->title) : std::nullopt,
              GetParam().followed ? std::optional(QString::fromUtf8(GetParam().followed)) : std::nullopt);
    EXPECT_TRUE(!sample || sample->source == (sample->title.startsWith(u"spotify") ? "spotify" : "music"));
}
INSTANTIATE_TEST_SUITE_P(Mpris, PlayerChoice, ::testing::ValuesIn(choiceCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PlayerRosterOnTheBus, EachRunReportsThePlayersByName)
{
    PrivateBus bus{PrivateBus::session};
    FakeMprisPlayer first("org.mpris.MediaPlayer2.firefox.instance_1_7");
    FakeMprisPlayer second("org.mpris.MediaPlayer2.firefox.instance_1_9");
    FakeMprisPlayer third("org.mpris.MediaPlayer2.vlc"), other("org.mpris.MediaPlayer2.kdeconnect.mpris_1");
    PlayerRoster roster;
    MprisPlayerSource source(roster);
    source.read();
    // Only an ".instance" suffix goes: other dotted names are players of their own.
    EXPECT_EQ(roster.playersSeen(), (QStringList{"firefox", "kdeconnect.mpris_1", "vlc"}));
    third.quit();
    runEventLoopFor(std::chrono::milliseconds(300));  // the query thread's loop, between two polls
    source.read();
    EXPECT_EQ(roster.playersSeen(), (QStringList{"firefox", "kdeconnect.mpris_1"}));
}
