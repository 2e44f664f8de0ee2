#include "playback/PlayerPreferences.h"

#include <gtest/gtest.h>

namespace {

struct FollowCase {
    const char* name;
    PlayerPreferences preferences;
    const char* player;
    bool followed;
};

PlayerPreferences preferring(QStringList preferred) { return {std::move(preferred), PlayerPreferences::defaultIgnored()}; }

class Follows : public ::testing::TestWithParam<FollowCase> {};

}  // namespace

TEST_P(Follows, ByListAndFamily)
{
    EXPECT_EQ(GetParam().preferences.follows(QString::fromUtf8(GetParam().player)), GetParam().followed);
}

INSTANTIATE_TEST_SUITE_P(Players, Follows, ::testing::Values(
    FollowCase{"music_player_by_default", {}, "vlc", true},
    FollowCase{"browser_by_default", {}, "firefox", false},
    FollowCase{"family_member", {}, "kdeconnect.mpris_phone", false},
    FollowCase{"prefix_without_a_dot_is_another_player", {}, "chromeless", true},
    FollowCase{"case_ignored", {}, "Chromium", false},
    FollowCase{"preferred_only", preferring({"mpv"}), "vlc", false},
    FollowCase{"preferred_browser", preferring({"firefox"}), "firefox", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ToggledFollowing, GoesBothWaysWithoutAPreferredList)
{
    const PlayerPreferences start;
    const PlayerPreferences off = start.toggledFollowing(QStringLiteral("vlc"));
    EXPECT_FALSE(off.follows(u"vlc"));
    EXPECT_TRUE(off.preferred.isEmpty());
    const PlayerPreferences on = off.toggledFollowing(QStringLiteral("vlc"));
    EXPECT_EQ(on, start);
}

TEST(ToggledFollowing, FollowingAFamilyMemberLiftsTheFamilyEntry)
{
    const PlayerPreferences on = PlayerPreferences{}.toggledFollowing(QStringLiteral("kdeconnect.mpris_phone"));
    EXPECT_TRUE(on.follows(u"kdeconnect.mpris_phone"));
    EXPECT_FALSE(on.ignored.contains(QStringLiteral("kdeconnect")));
}

TEST(ToggledFollowing, WithAPreferredListItJoinsAndLeavesTheList)
{
    const PlayerPreferences start = preferring({QStringLiteral("mpv")});
    const PlayerPreferences joined = start.toggledFollowing(QStringLiteral("vlc"));
    EXPECT_EQ(joined.preferred, (QStringList{"mpv", "vlc"}));
    const PlayerPreferences left = joined.toggledFollowing(QStringLiteral("mpv"));
    EXPECT_EQ(left.preferred, QStringList{"vlc"});
    EXPECT_EQ(left.ignored, start.ignored);
    // The last preferred player leaving would make every player count: it is ignored instead.
    const PlayerPreferences none = left.toggledFollowing(QStringLiteral("vlc"));
    EXPECT_TRUE(none.preferred.isEmpty());
    EXPECT_FALSE(none.follows(u"vlc"));
}
