#include "QuerySupport.h"

#include "playback/AnchorRule.h"

TEST(PlayheadAnchor, ExtrapolatesAtItsRateAndIdleIsZero)
{
    using P = std::tuple<PlayheadAnchor, double, double>;  // the anchor, a time, the position then
    for (const auto& [anchor, seconds, expected] : {P{{42, t0(), 0}, 100, 42}, P{{42, t0(), 1}, 1.5, 43.5},
                                                    P{{42, t0(), 1}, -2, 40}, P{PlayheadAnchor::idle(), 1e6, 0}})
        EXPECT_DOUBLE_EQ(anchor.position(at(seconds)), expected) << seconds;
}

TEST(SameTrack, IsTitleArtistAndExactDurationWithNotANumberEqualToItself)
{
    const NowPlayingTrack a{QStringLiteral("T"), QStringLiteral("A"), std::numeric_limits<double>::quiet_NaN()};
    const NowPlayingTrack b{QStringLiteral("T"), QStringLiteral("A"), 215.0, QStringLiteral("file:///other/copy.flac")};
    EXPECT_TRUE(isSameTrack(a, a));
    EXPECT_TRUE(isSameTrack(b, NowPlayingTrack{b.title, b.artist, 215.0}));
    EXPECT_TRUE(isSameTrack(std::nullopt, std::nullopt));
    for (const std::optional<NowPlayingTrack>& other :
         {std::optional(a), std::optional<NowPlayingTrack>(), std::optional(NowPlayingTrack{b.title, b.artist, 215.5}),
          std::optional(NowPlayingTrack{b.title, QStringLiteral("B"), 215.0}),
          std::optional(NowPlayingTrack{QStringLiteral("U"), b.artist, 215.0})})
        EXPECT_FALSE(isSameTrack(b, other) || isSameTrack(other, b)) << (other ? other->title.toStdString() : "none");
}
