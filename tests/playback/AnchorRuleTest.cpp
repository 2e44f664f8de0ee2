#include "QuerySupport.h"

#include "playback/AnchorRule.h"

struct PositionCase {
    const char* name;
    PlayheadAnchor anchor;
    double atSeconds;
    double expected;
};

class AnchorPosition : public ::testing::TestWithParam<PositionCase> {};

TEST_P(AnchorPosition, Extrapolates)
{
    EXPECT_DOUBLE_EQ(GetParam().anchor.position(at(GetParam().atSeconds)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(PlayheadAnchor, AnchorPosition,
                         ::testing::Values(PositionCase{"paused_stays_put", {42, t0(), 0}, 100, 42},
                                           PositionCase{"playing_moves_with_the_clock", {42, t0(), 1}, 1.5, 43.5},
                                           PositionCase{"before_the_timestamp", {42, t0(), 1}, -2, 40},
                                           PositionCase{"idle_is_zero_at_any_time", PlayheadAnchor::idle(), 1e6, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SameTrack, IsTitleArtistAndExactDurationWithNotANumberEqualToItself)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const NowPlayingTrack a{QStringLiteral("T"), QStringLiteral("A"), nan};
    const NowPlayingTrack b{QStringLiteral("T"), QStringLiteral("A"), 215.0, QStringLiteral("file:///other/copy.flac")};
    EXPECT_TRUE(isSameTrack(a, a));
    EXPECT_FALSE(isSameTrack(a, b));
    EXPECT_TRUE(isSameTrack(b, NowPlayingTrack{b.title, b.artist, 215.0}));
    EXPECT_FALSE(isSameTrack(b, NowPlayingTrack{b.title, b.artist, 215.5}));
    EXPECT_FALSE(isSameTrack(b, NowPlayingTrack{b.title, QStringLiteral("B"), 215.0}));
    EXPECT_FALSE(isSameTrack(b, NowPlayingTrack{QStringLiteral("U"), b.artist, 215.0}));
    EXPECT_TRUE(isSameTrack(std::nullopt, std::nullopt));
    EXPECT_FALSE(isSameTrack(a, std::nullopt));
    EXPECT_FALSE(isSameTrack(std::nullopt, a));
}
