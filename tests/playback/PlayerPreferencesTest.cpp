#include "playback/PlayerPreferences.h"

#include <gtest/gtest.h>

TEST(ToggledFollowing, GoesBothWaysLiftsAFamilyEntryAndJoinsOrLeavesAPreferredList)
{
    const PlayerPreferences start, off = start.toggledFollowing(QStringLiteral("vlc"));
    EXPECT_TRUE(!off.follows(u"vlc") && off.preferred.isEmpty());
    EXPECT_EQ(off.toggledFollowing(QStringLiteral("vlc")), start);
    const PlayerPreferences phone = start.toggledFollowing(QStringLiteral("kdeconnect.mpris_phone"));
    EXPECT_TRUE(phone.follows(u"kdeconnect.mpris_phone") && !phone.ignored.contains(QStringLiteral("kdeconnect")));
    const PlayerPreferences listed{{QStringLiteral("mpv")}, PlayerPreferences::defaultIgnored()};
    const PlayerPreferences joined = listed.toggledFollowing(QStringLiteral("vlc"));
    EXPECT_EQ(joined.preferred, (QStringList{"mpv", "vlc"}));
    const PlayerPreferences left = joined.toggledFollowing(QStringLiteral("mpv"));
    EXPECT_EQ(left.preferred, QStringList{"vlc"});
    EXPECT_EQ(left.ignored, listed.ignored);
    // The last preferred player leaving would make every player count: it is ignored instead.
    const PlayerPreferences none = left.toggledFollowing(QStringLiteral("vlc"));
    EXPECT_TRUE(none.preferred.isEmpty() && !none.follows(u"vlc"));
}
