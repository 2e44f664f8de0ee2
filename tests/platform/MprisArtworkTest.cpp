// The MPRIS artwork source against fake players on a private bus.
#include "FakeMprisPlayer.h"
#include "PrivateBus.h"
#include "QtTestSupport.h"

#include "platform/mpris/MprisArtworkSource.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct PlayerSetup {
    const char* busName;
    const char* status;
    std::optional<QVariant> artUrl;
};

struct ChoiceCase {
    const char* fault;
    std::vector<PlayerSetup> players;
    std::optional<const char*> expected;
};

class MprisArtwork : public ::testing::TestWithParam<ChoiceCase> {
protected:
    PrivateBus bus{PrivateBus::session};
};

TEST_P(MprisArtwork, FollowsThePlayerTheQueryFollows)
{
    std::vector<std::unique_ptr<FakeMprisPlayer>> players;
    for (const PlayerSetup& setup : GetParam().players) {
        auto& player = players.emplace_back(std::make_unique<FakeMprisPlayer>(QString::fromUtf8(setup.busName)));
        ASSERT_TRUE(player->isReady());
        QVariantMap metadata = trackMetadata("Song", "Band", 200000000);
        if (setup.artUrl)
            metadata.insert("mpris:artUrl", *setup.artUrl);
        player->setMetadata(metadata);
        player->setStatus(QString::fromUtf8(setup.status));
    }
    PlayerRoster roster;
    const std::optional<const char*> expected = GetParam().expected;
    EXPECT_EQ(MprisArtworkSource(roster).currentArtwork(),
              expected ? ArtworkLocation(QUrl(*expected)) : ArtworkLocation())
        << GetParam().fault;
}

const char* const vlc = "org.mpris.MediaPlayer2.vlc";
const char* const spotify = "org.mpris.MediaPlayer2.spotify";

// Which player is followed is the query's own choice (PlayerChoiceTest); here only what the
// artwork source adds: the groups in order, Spotify's rewrite, and going on past a player without one.
INSTANTIATE_TEST_SUITE_P(
    Players, MprisArtwork,
    ::testing::Values(
        ChoiceCase{"a local player's cover file", {{vlc, "Playing", "file:///tmp/cover.png"}}, "file:///tmp/cover.png"},
        ChoiceCase{"Spotify's old page address is rewritten",
                   {{spotify, "Playing", "https://open.spotify.com/image/ab67"}},
                   "https://i.scdn.co/image/ab67"},
        ChoiceCase{"another player's page-like address is left alone",
                   {{vlc, "Playing", "https://open.spotify.com/image/ab67"}},
                   "https://open.spotify.com/image/ab67"},
        ChoiceCase{"a paused Spotify comes before a playing local player",
                   {{spotify, "Paused", "https://i.scdn.co/image/s"}, {vlc, "Playing", "file:///tmp/v.png"}},
                   "https://i.scdn.co/image/s"},
        ChoiceCase{"Spotify without an address leaves the other players",
                   {{spotify, "Playing", ""}, {vlc, "Playing", "file:///tmp/v.png"}},
                   "file:///tmp/v.png"},
        ChoiceCase{"a player without artwork has none", {{vlc, "Playing", std::nullopt}}, std::nullopt},
        ChoiceCase{"an address that is not text is none", {{vlc, "Playing", 42}}, std::nullopt}));

TEST(MprisArtworkWithoutBus, GivesNothing)
{
    PrivateBus bus{PrivateBus::session};
    bus.stop();
    PlayerRoster roster;
    MprisArtworkSource source(roster);
    EXPECT_EQ(source.currentArtwork(), ArtworkLocation());
}

}  // namespace
