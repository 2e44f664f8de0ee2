// The MPRIS artwork source against fake players on a private bus: it follows the player the
// query follows, and rewrites Spotify's old page addresses.
#include "FakePlayerProcess.h"
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

    friend void PrintTo(const ChoiceCase& c, std::ostream* out) { *out << '"' << c.fault << '"'; }
};

class MprisArtwork : public ::testing::TestWithParam<ChoiceCase> {
protected:
    PrivateBus bus{PrivateBus::session};
};

TEST_P(MprisArtwork, FollowsThePlayerTheQueryFollows)
{
    std::vector<std::unique_ptr<FakePlayerProcess>> players;
    for (const PlayerSetup& setup : GetParam().players) {
        auto player = std::make_unique<FakePlayerProcess>(QString::fromUtf8(setup.busName));
        ASSERT_TRUE(player->isReady());
        QVariantMap metadata = trackMetadata(QStringLiteral("Song"), QStringLiteral("Band"), 200000000);
        if (setup.artUrl)
            metadata.insert(QStringLiteral("mpris:artUrl"), *setup.artUrl);
        player->setMetadata(metadata);
        player->setStatus(QString::fromUtf8(setup.status));
        players.push_back(std::move(player));
    }
    PlayerRoster roster;
    MprisArtworkSource source(roster);
    const ArtworkLocation found = source.currentArtwork();
    if (!GetParam().expected) {
        EXPECT_EQ(found, ArtworkLocation()) << GetParam().fault;
        return;
    }
    ASSERT_TRUE(std::holds_alternative<QUrl>(found)) << GetParam().fault;
    EXPECT_EQ(std::get<QUrl>(found).toString(), QString::fromUtf8(*GetParam().expected)) << GetParam().fault;
}

const char* const vlc = "org.mpris.MediaPlayer2.vlc";
const char* const rhythmbox = "org.mpris.MediaPlayer2.rhythmbox";
const char* const spotify = "org.mpris.MediaPlayer2.spotify";

INSTANTIATE_TEST_SUITE_P(
    Players, MprisArtwork,
    ::testing::Values(ChoiceCase{"a local player's cover file",
                                 {{vlc, "Playing", QVariant(QStringLiteral("file:///tmp/cover.png"))}},
                                 "file:///tmp/cover.png"},
                      ChoiceCase{
                          "Spotify's old page address is rewritten",
                          {{spotify, "Playing", QVariant(QStringLiteral("https://open.spotify.com/image/ab67"))}},
                          "https://i.scdn.co/image/ab67"},
                      ChoiceCase{"another player's page-like address is left alone",
                                 {{vlc, "Playing", QVariant(QStringLiteral("https://open.spotify.com/image/ab67"))}},
                                 "https://open.spotify.com/image/ab67"},
                      ChoiceCase{"a paused Spotify comes before a playing local player",
                                 {{spotify, "Paused", QVariant(QStringLiteral("https://i.scdn.co/image/s"))},
                                  {vlc, "Playing", QVariant(QStringLiteral("file:///tmp/v.png"))}},
                                 "https://i.scdn.co/image/s"},
                      ChoiceCase{"Spotify without an address leaves the other players",
                                 {{spotify, "Playing", QVariant(QStringLiteral(""))},
                                  {vlc, "Playing", QVariant(QStringLiteral("file:///tmp/v.png"))}},
                                 "file:///tmp/v.png"},
                      ChoiceCase{"the playing player comes before a paused one",
                                 {{rhythmbox, "Paused", QVariant(QStringLiteral("file:///tmp/r.png"))},
                                  {vlc, "Playing", QVariant(QStringLiteral("file:///tmp/v.png"))}},
                                 "file:///tmp/v.png"},
                      ChoiceCase{"a stopped player has no artwork",
                                 {{vlc, "Stopped", QVariant(QStringLiteral("file:///tmp/v.png"))}},
                                 std::nullopt},
                      ChoiceCase{"a player without artwork has none", {{vlc, "Playing", std::nullopt}}, std::nullopt},
                      ChoiceCase{"an address that is not text is none", {{vlc, "Playing", QVariant(42)}}, std::nullopt},
                      ChoiceCase{"no player, no artwork", {}, std::nullopt}));

TEST(MprisArtworkWithoutBus, GivesNothing)
{
    PrivateBus bus{PrivateBus::session};
    bus.stop();
    PlayerRoster roster;
    MprisArtworkSource source(roster);
    EXPECT_EQ(source.currentArtwork(), ArtworkLocation());
}

}  // namespace
