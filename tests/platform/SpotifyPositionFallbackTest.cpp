#include "QtTestSupport.h"

#include "platform/mpris/SpotifyPositionFallback.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

QDateTime at(double seconds)
{
    return QDateTime(QDate(2024, 3, 1), QTime(12, 0), Qt::UTC).addMSecs(qint64(seconds * 1000));
}

// One sample of a track, or (seekTo set) a Seeked signal.
struct Step {
    double at;
    const char* track;
    double reported;
    bool playing;
    std::optional<double> seekTo = std::nullopt;
};

// Samples every half second from `from` to `to`, inclusive.
std::vector<Step> samples(double from, double to, const char* track, double reported, bool playing)
{
    std::vector<Step> steps;
    for (double t = from; t <= to + 1e-9; t += 0.5)
        steps.push_back({t, track, reported, playing});
    return steps;
}

std::vector<Step> operator+(std::vector<Step> a, const std::vector<Step>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct FallbackCase {
    const char* name;
    std::vector<Step> steps;
    double position;  // reported for the last sample
    bool extrapolating;
};

class SpotifyFallback : public ::testing::TestWithParam<FallbackCase> {};

TEST_P(SpotifyFallback, ReportsThePositionToBelieve)
{
    SpotifyPositionFallback fallback;
    double position = -1;
    for (const Step& step : GetParam().steps) {
        if (step.seekTo)
            fallback.seeked(*step.seekTo, at(step.at));
        else
            position = fallback.position(NowPlayingTrack{QString::fromUtf8(step.track), "Band", 200}, step.reported, step.playing, at(step.at));
    }
    EXPECT_DOUBLE_EQ(position, GetParam().position);
    EXPECT_EQ(fallback.isExtrapolating(), GetParam().extrapolating);
}

INSTANTIATE_TEST_SUITE_P(
    Mpris, SpotifyFallback,
    ::testing::Values(
        FallbackCase{"a_moving_position_is_believed", {{0, "A", 10, true}, {3, "A", 13, true}}, 13, false},
        FallbackCase{"zero_for_exactly_two_seconds_is_not_yet_stuck", samples(0, 2, "A", 0, true), 0, false},
        FallbackCase{"zero_past_two_seconds_extrapolates_from_the_start", samples(0, 2.5, "A", 0, true), 2.5, true},
        FallbackCase{"paused_at_zero_is_no_sign", samples(0, 10, "A", 0, false), 0, false},
        // The pause is seen at the 1.5 s sample, so 1.5 s count before it and 2.5 s after it.
        FallbackCase{"paused_time_is_left_out",
                     samples(0, 1, "A", 0, true) + samples(1.5, 11, "A", 0, false) + samples(11.5, 14, "A", 0, true), 4.0,
                     true},
        FallbackCase{"a_pause_while_extrapolating_holds_the_position",
                     samples(0, 3, "A", 0, true) + samples(3.5, 9, "A", 0, false), 3.5, true},
        FallbackCase{"a_seek_re_anchors", samples(0, 3, "A", 0, true) + std::vector<Step>{{3.2, "A", 0, true, 60.0}, {4, "A", 0, true}},
                     60.8, true},
        FallbackCase{"a_seek_before_detection_counts_once_extrapolating",
                     std::vector<Step>{{0, "A", 0, true}, {0.1, "A", 0, true, 100.0}} + samples(0.5, 3, "A", 0, true),
                     102.9, true},
        FallbackCase{"a_new_track_starts_over", samples(0, 4, "A", 0, true) + samples(5, 6.5, "B", 0, true), 0, false},
        FallbackCase{"a_new_track_stuck_again", samples(0, 4, "A", 0, true) + samples(5, 7.5, "B", 0, true), 2.5, true},
        FallbackCase{"a_recovered_player_is_believed", samples(0, 4, "A", 0, true) + std::vector<Step>{{4.5, "A", 42, true}},
                     42, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

TEST(SpotifyFallbackLog, OnceForEachTrack)
{
    LogLines log;
    SpotifyPositionFallback fallback;
    for (const Step& step : samples(0, 4, "A", 0, true) + std::vector<Step>{{4.5, "A", 5, true}} + samples(5, 9, "A", 0, true)
             + samples(10, 13, "B", 0, true))
        fallback.position(NowPlayingTrack{QString::fromUtf8(step.track), "Band", 200}, step.reported, step.playing, at(step.at));
    const QString line = "player query: spotify position unavailable — extrapolating";
    EXPECT_EQ(log.newMessages(), (QStringList{line, line}));
}
