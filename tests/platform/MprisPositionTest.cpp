// The MPRIS position's corrections: odd units and wraps, Spotify's stuck zero, the read that just moved.
#include "QuerySupport.h"

#include "platform/mpris/FreshPosition.h"
#include "platform/mpris/PositionCorrector.h"
#include "platform/mpris/SpotifyPositionFallback.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <optional>
#include <vector>

const auto caseName = [](const auto& info) { return std::string(info.param.name); };

namespace corrector {

struct Sample {
    double atSeconds;  // wall time since the start of the case
    QVariant reported;
    bool playing = true;
    const char* track = "Song";
};

struct CorrectionCase {
    const char* name;
    std::optional<double> length;
    std::vector<Sample> samples;
    std::optional<double> lastPosition;  // what the last sample reads as
    QStringList logLines;  // after "player query: vlc "
};

QVariant us64(double seconds) { return QVariant::fromValue<qlonglong>(qlonglong(seconds * 1e6)); }
QVariant ms64(double seconds) { return QVariant::fromValue<qlonglong>(qlonglong(seconds * 1e3)); }
// Microseconds squeezed into 32 bits, as buggy players send them.
QVariant us32(double seconds) { return QVariant::fromValue<qint32>(qint32(quint32(qulonglong(seconds * 1e6)))); }
QVariant uus32(double seconds) { return QVariant::fromValue<quint32>(quint32(qulonglong(seconds * 1e6))); }

const char* const millis = "reports its position in milliseconds — corrected";
const char* const wraps = "position wraps at 32 bits — corrected";
const char* const pastEnd = "position past the end of the track — not shown";

// A player fixed between tracks reads in microseconds again; the next track in milliseconds is logged again.
const std::vector<Sample> threeTracks = {{0, ms64(10), true, "1"}, {1, ms64(11), true, "1"}, {2, us64(3), true, "2"},
                                         {3, us64(4), true, "2"},  {4, ms64(10), true, "3"}, {5, ms64(11), true, "3"}};

const std::vector<CorrectionCase> correctionCases = {
    {"microseconds_as_sent", 200.0, {{0, us64(10)}, {0.5, us64(10.5)}}, 10.5, {}},
    {"milliseconds_found_by_their_rate", 200.0, {{0, ms64(60)}, {0.5, ms64(60.5)}, {1.0, ms64(61)}}, 61.0, {millis}},
    {"too_close_samples_tell_nothing", 200.0, {{0, ms64(60)}, {0.1, ms64(60.1)}}, 0.0601, {}},
    {"paused_samples_tell_nothing", 200.0, {{0, ms64(60), false}, {1, ms64(60), false}}, 0.06, {}},
    {"a_seek_between_samples_tells_nothing", 200.0, {{0, us64(10)}, {0.5, us64(150)}}, 150.0, {}},
    {"signed_32_bit_gone_negative", 3000.0, {{0, us32(2200)}}, 2200.0, {wraps}},
    {"unsigned_32_bit_wrapping_on_a_long_track", 6000.0, {{0, uus32(4294.5)}, {1, uus32(4295.5)}}, 4295.5, {wraps}},
    {"a_seek_to_the_start_is_not_a_wrap", 3000.0, {{0, us32(2200)}, {0.5, us32(5)}}, 5.0, {wraps}},
    {"past_the_end_is_not_shown", 200.0, {{0, us64(260)}}, std::nullopt, {pastEnd}},
    {"just_past_the_end_is_tolerated", 200.0, {{0, us64(200.5)}}, 200.5, {}},
    {"no_length_no_end", std::nullopt, {{0, us64(5000)}}, 5000.0, {}},
    {"negative_64_bit_is_no_position", 200.0, {{0, QVariant::fromValue<qlonglong>(-5)}}, std::nullopt, {}},
    {"a_string_is_no_position", 200.0, {{0, QStringLiteral("10")}}, std::nullopt, {}},
    {"unit_and_log_start_afresh_with_each_track", 200.0, threeTracks, 11.0, {millis, millis}},
};

class Correction : public ::testing::TestWithParam<CorrectionCase> {};
TEST_P(Correction, ReadsTheLastSample)
{
    LogLines log;
    PositionCorrector corrector;
    std::optional<double> position;
    for (const Sample& sample : GetParam().samples)
        position = corrector.seconds("vlc", NowPlayingTrack{sample.track, "Band", 200}, sample.reported,
                                     GetParam().length, sample.playing, at(sample.atSeconds));
    EXPECT_NEAR(position.value_or(-1), GetParam().lastPosition.value_or(-1), 1e-6);  // -1: no position
    QStringList expected = GetParam().logLines;
    EXPECT_EQ(log.newMessages(), expected.replaceInStrings(QRegularExpression("^"), "player query: vlc "));
}
INSTANTIATE_TEST_SUITE_P(Positions, Correction, ::testing::ValuesIn(correctionCases), caseName);

}  // namespace corrector

namespace fallback {

// One sample of a track, or (seekTo set) a Seeked signal.
struct Step {
    double at;
    const char* track;
    double reported;
    bool playing;
    std::optional<double> seekTo = std::nullopt;
};

// Samples of a player stuck at zero every half second from `from` to `to`, inclusive.
std::vector<Step> samples(double from, double to, bool playing = true, const char* track = "A")
{
    std::vector<Step> steps;
    for (double t = from; t <= to + 1e-9; t += 0.5)
        steps.push_back({t, track, 0, playing});
    return steps;
}

using Steps = std::vector<Step>;
Steps operator+(Steps a, const Steps& b)
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
            position = fallback.position(NowPlayingTrack{QString::fromUtf8(step.track), "Band", 200}, step.reported,
                                         step.playing, at(step.at));
    }
    EXPECT_DOUBLE_EQ(position, GetParam().position);
    EXPECT_EQ(fallback.isExtrapolating(), GetParam().extrapolating);
}
INSTANTIATE_TEST_SUITE_P(
    Mpris, SpotifyFallback,
    ::testing::ValuesIn(std::vector<FallbackCase>{
        {"a_moving_position_is_believed", {{0, "A", 10, true}, {3, "A", 13, true}}, 13, false},
        {"zero_for_exactly_two_seconds_is_not_yet_stuck", samples(0, 2), 0, false},
        {"zero_past_two_seconds_extrapolates_from_the_start", samples(0, 2.5), 2.5, true},
        {"paused_at_zero_is_no_sign", samples(0, 10, false), 0, false},
        {"paused_time_is_left_out", samples(0, 1) + samples(1.5, 11, false) + samples(11.5, 14), 4.0, true},
        {"a_pause_while_extrapolating_holds", samples(0, 3) + samples(3.5, 9, false), 3.5, true},
        {"a_seek_re_anchors", samples(0, 3) + Steps{{3.2, "A", 0, true, 60.0}, {4, "A", 0, true}}, 60.8, true},
        {"a_seek_before_detection_counts", Steps{{0, "A", 0, true}, {0.1, "A", 0, true, 100.0}} + samples(0.5, 3),
         102.9, true},
        {"a_new_track_starts_over", samples(0, 4) + samples(5, 6.5, true, "B"), 0, false},
        {"a_new_track_stuck_again", samples(0, 4) + samples(5, 7.5, true, "B"), 2.5, true},
        {"a_recovered_player_is_believed", samples(0, 4) + Steps{{4.5, "A", 42, true}}, 42, false}}),
    caseName);

TEST(SpotifyFallbackLog, OnceForEachTrack)
{
    LogLines log;
    SpotifyPositionFallback fallback;
    for (const Step& step : samples(0, 4) + Steps{{4.5, "A", 5, true}} + samples(5, 9) + samples(10, 13, true, "B"))
        fallback.position(NowPlayingTrack{QString::fromUtf8(step.track), "Band", 200}, step.reported, step.playing,
                          at(step.at));
    EXPECT_EQ(log.newMessages(), QStringList(2, "player query: spotify position unavailable — extrapolating"));
}

}  // namespace fallback

namespace fresh {

using fresh_position::Read;

// Reads 10 ms apart, in microseconds; nothing: the call failed.
struct ReadsCase {
    const char* name;
    std::vector<std::optional<qlonglong>> reads;
    std::optional<int> expectedRead;  // index of the read given back; nothing for none
};

std::vector<std::optional<qlonglong>> sameThen(int count, qlonglong changed)
{
    std::vector<std::optional<qlonglong>> reads(std::size_t(count), qlonglong(5));
    reads.emplace_back(changed);
    return reads;
}

class JustChanged : public ::testing::TestWithParam<ReadsCase> {};
TEST_P(JustChanged, GivesTheFirstReadThatMoved)
{
    const ReadsCase& c = GetParam();
    std::size_t asked = 0;
    int waited = 0;
    const auto result = fresh_position::justChanged(
        [&]() -> std::optional<Read> {
            const std::size_t index = asked++;
            if (index >= c.reads.size() || !c.reads[index])
                return std::nullopt;
            return Read{QVariant::fromValue(*c.reads[index]), t0().addMSecs(qint64(index) * 10)};
        },
        [&](int milliseconds) { waited += milliseconds; });
    ASSERT_EQ(result.has_value(), c.expectedRead.has_value());
    if (result) {
        EXPECT_EQ(result->position.toLongLong(), *c.reads[std::size_t(*c.expectedRead)]);
        EXPECT_EQ(result->at, t0().addMSecs(*c.expectedRead * 10 - 5)) << "between the change and the read before";
        EXPECT_EQ(asked, std::size_t(*c.expectedRead) + 1) << "reads stop at the change";
    } else {
        EXPECT_LE(asked, std::size_t(fresh_position::maxReads));
    }
    EXPECT_EQ(waited, (int(asked) - 1) * fresh_position::intervalMs);
}
INSTANTIATE_TEST_SUITE_P(
    Players, JustChanged,
    ::testing::Values(ReadsCase{"smooth", {1'000'000, 1'010'000, 1'020'000}, 1},
                      ReadsCase{"steps_of_50_ms", {1'000'000, 1'000'000, 1'000'000, 1'050'000, 1'050'000}, 3},
                      ReadsCase{"change_at_the_last_read", sameThen(fresh_position::maxReads - 1, 9),
                                fresh_position::maxReads - 1},
                      ReadsCase{"stuck", sameThen(fresh_position::maxReads, 9), std::nullopt},
                      ReadsCase{"backwards_is_a_change_too", {2'000'000, 2'000'000, 500'000}, 2},
                      ReadsCase{"first_read_fails", {std::nullopt, 1, 2}, std::nullopt},
                      ReadsCase{"failed_read_in_between", {1, std::nullopt, 2, 3}, std::nullopt}),
    caseName);

}  // namespace fresh
