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
const char* const page = "https://open.spotify.com/image/ab67";

// Which player is followed is the query's choice (PlayerChoiceTest); here what artwork adds to it.
INSTANTIATE_TEST_SUITE_P(
    Players, MprisArtwork,
    ::testing::Values(
        ChoiceCase{"cover file", {{vlc, "Playing", "file:///c"}}, "file:///c"},
        ChoiceCase{"Spotify's page rewritten", {{spotify, "Playing", page}}, "https://i.scdn.co/image/ab67"},
        ChoiceCase{"others' page kept", {{vlc, "Playing", page}}, page},
        ChoiceCase{
            "paused Spotify first", {{spotify, "Paused", "file:///s"}, {vlc, "Playing", "file:///v"}}, "file:///s"},
        ChoiceCase{"empty address goes on", {{spotify, "Playing", ""}, {vlc, "Playing", "file:///v"}}, "file:///v"},
        ChoiceCase{"no artwork", {{vlc, "Playing", std::nullopt}}, std::nullopt},
        ChoiceCase{"not text", {{vlc, "Playing", 42}}, std::nullopt}));

}  // namespace
