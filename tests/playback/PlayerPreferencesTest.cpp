#include "playback/PlayerPreferences.h"

#include <gtest/gtest.h>

namespace {

PlayerPreferences preferring(QStringList preferred)
{
    return {std::move(preferred), PlayerPreferences::defaultIgnored()};
}

}  // namespace

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
