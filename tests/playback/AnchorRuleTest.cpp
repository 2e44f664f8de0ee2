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

INSTANTIATE_TEST_SUITE_P(
    PlayheadAnchor, AnchorPosition,
    ::testing::Values(PositionCase{"paused_stays_put", {42, t0(), 0}, 100, 42},
                      PositionCase{"playing_moves_with_the_clock", {42, t0(), 1}, 1.5, 43.5},
                      PositionCase{"before_the_timestamp", {42, t0(), 1}, -2, 40},
                      PositionCase{"idle_is_zero_at_any_time", PlayheadAnchor::idle(), 1e6, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct KeepCase {
    const char* name;
    double candidatePosition;  // sampled 0.5 s after an anchor of 10 s at t0
    bool candidatePlaying;
    bool sameTrack;
    bool keeps;
};

class AnchorKept : public ::testing::TestWithParam<KeepCase> {};

TEST_P(AnchorKept, OnlyWhileTheExtrapolationHolds)
{
    const PlayheadAnchor current{10, t0(), 1};
    const PlayheadAnchor candidate{GetParam().candidatePosition, at(0.5), GetParam().candidatePlaying ? 1.0 : 0.0};
    EXPECT_EQ(keepsAnchor(current, candidate, GetParam().sameTrack, at(0.5), 0.25), GetParam().keeps);
}

INSTANTIATE_TEST_SUITE_P(
    AnchorRule, AnchorKept,
    ::testing::Values(KeepCase{"on_time", 10.5, true, true, true},
                      KeepCase{"a_tenth_behind", 10.4, true, true, true},
                      KeepCase{"exactly_the_threshold_ahead", 10.75, true, true, true},
                      KeepCase{"exactly_the_threshold_behind", 10.25, true, true, true},
                      KeepCase{"three_tenths_ahead", 10.8, true, true, false},
                      KeepCase{"three_tenths_behind", 10.2, true, true, false},
                      KeepCase{"paused_at_the_same_place", 10.5, false, true, false},
                      KeepCase{"another_track_on_time", 10.5, true, false, false}),
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

TEST(AnchorRule, CandidateIsTheSamplesPositionAtItsTime)
{
    const PlayerSample paused{QStringLiteral("music"), QStringLiteral("S"), QStringLiteral("B"), 200, 7.5, false, at(3)};
    EXPECT_EQ(candidateAnchor(paused), (PlayheadAnchor{7.5, at(3), 0.0}));
    PlayerSample playing = paused;
    playing.isPlaying = true;
    EXPECT_EQ(candidateAnchor(playing), (PlayheadAnchor{7.5, at(3), 1.0}));
}
