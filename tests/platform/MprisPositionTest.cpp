// The MPRIS position's corrections: odd units and wraps, Spotify's stuck zero, and the read that
// has just moved.
#include "QtTestSupport.h"

#include "platform/mpris/FreshPosition.h"
#include "platform/mpris/PositionCorrector.h"
#include "platform/mpris/SpotifyPositionFallback.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace corrector {

struct Sample {
    double atSeconds;  // wall time since the start of the case
    QVariant reported;
    bool playing = true;
};

struct CorrectionCase {
    const char* name;
    std::optional<double> length;
    std::vector<Sample> samples;
    std::optional<double> lastPosition;  // what the last sample reads as
    const char* logLine;  // the one line logged, or nullptr for none
};

QVariant us64(double seconds) { return QVariant::fromValue<qlonglong>(qlonglong(seconds * 1e6)); }
QVariant ms64(double seconds) { return QVariant::fromValue<qlonglong>(qlonglong(seconds * 1e3)); }
// A position in microseconds squeezed into a 32-bit value, as a player with the bug sends it.
QVariant us32(double seconds) { return QVariant::fromValue<qint32>(qint32(quint32(qulonglong(seconds * 1e6)))); }
QVariant uus32(double seconds) { return QVariant::fromValue<quint32>(quint32(qulonglong(seconds * 1e6))); }

const std::vector<CorrectionCase> correctionCases = {
    {"microseconds_as_sent", 200.0, {{0, us64(10)}, {0.5, us64(10.5)}}, 10.5, nullptr},
    {"milliseconds_are_found_by_their_rate",
     200.0,
     {{0, ms64(60)}, {0.5, ms64(60.5)}, {1.0, ms64(61)}},
     61.0,
     "player query: vlc reports its position in milliseconds — corrected"},
    {"too_close_samples_tell_nothing", 200.0, {{0, ms64(60)}, {0.1, ms64(60.1)}}, 0.0601, nullptr},
    {"paused_samples_tell_nothing", 200.0, {{0, ms64(60), false}, {1, ms64(60), false}}, 0.06, nullptr},
    {"a_seek_between_samples_tells_nothing", 200.0, {{0, us64(10)}, {0.5, us64(150)}}, 150.0, nullptr},
    {"signed_32_bit_gone_negative",
     3000.0,
     {{0, us32(2200)}},
     std::optional(double(qulonglong(2200e6)) / 1e6),
     "player query: vlc position wraps at 32 bits — corrected"},
    {"unsigned_32_bit_wrapping_on_a_long_track",
     6000.0,
     {{0, uus32(4294.5)}, {1, uus32(4295.5)}},
     4295.5,
     "player query: vlc position wraps at 32 bits — corrected"},
    {"a_seek_to_the_start_is_not_a_wrap",
     3000.0,
     {{0, us32(2200)}, {0.5, us32(5)}},
     5.0,
     "player query: vlc position wraps at 32 bits — corrected"},
    {"past_the_end_is_not_shown",
     200.0,
     {{0, us64(260)}},
     std::nullopt,
     "player query: vlc position past the end of the track — not shown"},
    {"just_past_the_end_is_tolerated", 200.0, {{0, us64(200.5)}}, 200.5, nullptr},
    {"no_length_no_end", std::nullopt, {{0, us64(5000)}}, 5000.0, nullptr},
    {"negative_64_bit_is_no_position", 200.0, {{0, QVariant::fromValue<qlonglong>(-5)}}, std::nullopt, nullptr},
    {"a_string_is_no_position", 200.0, {{0, QStringLiteral("10")}}, std::nullopt, nullptr},
};

class Correction : public ::testing::TestWithParam<CorrectionCase> {
protected:
};

TEST_P(Correction, ReadsTheLastSample)
{
    LogLines log;
    PositionCorrector corrector;
    const QDateTime start = QDateTime::fromSecsSinceEpoch(1800000000, Qt::UTC);
    std::optional<double> position;
    for (const Sample& sample : GetParam().samples) {
        position = corrector.seconds(QStringLiteral("vlc"), NowPlayingTrack{"Song", "Band", 200}, sample.reported,
                                     GetParam().length, sample.playing,
                                     start.addMSecs(qint64(sample.atSeconds * 1000)));
    }
    ASSERT_EQ(position.has_value(), GetParam().lastPosition.has_value());
    if (position)
        EXPECT_NEAR(*position, *GetParam().lastPosition, 1e-6);
    EXPECT_EQ(log.newMessages(),
              GetParam().logLine ? QStringList{QString::fromUtf8(GetParam().logLine)} : QStringList());
}

INSTANTIATE_TEST_SUITE_P(Positions, Correction, ::testing::ValuesIn(correctionCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CorrectionPerTrack, TheUnitAndTheLogStartAfreshWithEachTrack)
{
    LogLines log;
    PositionCorrector corrector;
    const QDateTime start = QDateTime::fromSecsSinceEpoch(1800000000, Qt::UTC);
    const auto read = [&](const char* track, QVariant value, double at) {
        return corrector.seconds(QStringLiteral("vlc"), NowPlayingTrack{QString::fromUtf8(track), "Band", 200}, value,
                                 200.0, true, start.addMSecs(qint64(at * 1000)));
    };
    read("One", ms64(10), 0);
    EXPECT_NEAR(*read("One", ms64(11), 1), 11, 1e-6);
    EXPECT_NEAR(*read("One", ms64(12), 2), 12, 1e-6);
    // A player fixed between tracks: the new track is read in microseconds again.
    EXPECT_NEAR(*read("Two", us64(3), 3), 3, 1e-6);
    EXPECT_NEAR(*read("Two", us64(4), 4), 4, 1e-6);
    read("Three", ms64(10), 5);
    read("Three", ms64(11), 6);
    EXPECT_EQ(
        log.newMessages().count(QStringLiteral("player query: vlc reports its position in milliseconds — corrected")),
        2);
}

}  // namespace corrector

namespace fallback {

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
            position = fallback.position(NowPlayingTrack{QString::fromUtf8(step.track), "Band", 200}, step.reported,
                                         step.playing, at(step.at));
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
                     samples(0, 1, "A", 0, true) + samples(1.5, 11, "A", 0, false) + samples(11.5, 14, "A", 0, true),
                     4.0, true},
        FallbackCase{"a_pause_while_extrapolating_holds_the_position",
                     samples(0, 3, "A", 0, true) + samples(3.5, 9, "A", 0, false), 3.5, true},
        FallbackCase{"a_seek_re_anchors",
                     samples(0, 3, "A", 0, true) + std::vector<Step>{{3.2, "A", 0, true, 60.0}, {4, "A", 0, true}},
                     60.8, true},
        FallbackCase{"a_seek_before_detection_counts_once_extrapolating",
                     std::vector<Step>{{0, "A", 0, true}, {0.1, "A", 0, true, 100.0}} + samples(0.5, 3, "A", 0, true),
                     102.9, true},
        FallbackCase{"a_new_track_starts_over", samples(0, 4, "A", 0, true) + samples(5, 6.5, "B", 0, true), 0, false},
        FallbackCase{"a_new_track_stuck_again", samples(0, 4, "A", 0, true) + samples(5, 7.5, "B", 0, true), 2.5, true},
        FallbackCase{"a_recovered_player_is_believed",
                     samples(0, 4, "A", 0, true) + std::vector<Step>{{4.5, "A", 42, true}}, 42, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SpotifyFallbackLog, OnceForEachTrack)
{
    LogLines log;
    SpotifyPositionFallback fallback;
    for (const Step& step : samples(0, 4, "A", 0, true) + std::vector<Step>{{4.5, "A", 5, true}}
                                + samples(5, 9, "A", 0, true) + samples(10, 13, "B", 0, true))
        fallback.position(NowPlayingTrack{QString::fromUtf8(step.track), "Band", 200}, step.reported, step.playing,
                          at(step.at));
    const QString line = "player query: spotify position unavailable — extrapolating";
    EXPECT_EQ(log.newMessages(), (QStringList{line, line}));
}

}  // namespace fallback

namespace fresh {

using fresh_position::Read;

// A player seen through reads 10 ms apart: each entry is what one read returns (nothing: the call
// failed), as microseconds.
struct ReadsCase {
    const char* name;
    std::vector<std::optional<qlonglong>> reads;
    std::optional<int> expectedRead;  // index of the read given back; nothing for none
};

// `count` reads of one value, then one of `changed`.
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
    const QDateTime base = QDateTime::fromMSecsSinceEpoch(1'700'000'000'000, Qt::UTC);
    std::size_t asked = 0;
    int waited = 0;
    const auto result = fresh_position::justChanged(
        [&]() -> std::optional<Read> {
            const std::size_t index = asked++;
            if (index >= c.reads.size() || !c.reads[index])
                return std::nullopt;
            return Read{QVariant::fromValue(*c.reads[index]), base.addMSecs(qint64(index) * 10)};
        },
        [&](int milliseconds) { waited += milliseconds; });
    ASSERT_EQ(result.has_value(), c.expectedRead.has_value());
    if (result) {
        EXPECT_EQ(result->position.toLongLong(), *c.reads[std::size_t(*c.expectedRead)]);
        EXPECT_EQ(result->at, base.addMSecs(*c.expectedRead * 10 - 5)) << "between the change and the read before";
        EXPECT_EQ(asked, std::size_t(*c.expectedRead) + 1) << "reads stop at the change";
    } else {
        EXPECT_LE(asked, std::size_t(fresh_position::maxReads));
    }
    EXPECT_EQ(waited, (int(asked) - 1) * fresh_position::intervalMs);
}

INSTANTIATE_TEST_SUITE_P(
    Players, JustChanged,
    ::testing::Values(
        ReadsCase{"smooth", {1'000'000, 1'010'000, 1'020'000}, 1},
        ReadsCase{"steps_of_50_ms", {1'000'000, 1'000'000, 1'000'000, 1'050'000, 1'050'000}, 3},
        ReadsCase{"change_at_the_last_read", sameThen(fresh_position::maxReads - 1, 9), fresh_position::maxReads - 1},
        ReadsCase{"stuck", sameThen(fresh_position::maxReads, 9), std::nullopt},  // the change comes after the reads
        ReadsCase{"backwards_is_a_change_too", {2'000'000, 2'000'000, 500'000}, 2},
        ReadsCase{"first_read_fails", {std::nullopt, 1, 2}, std::nullopt},
        // A failed read in between: the one after it has nothing to be compared with.
        ReadsCase{"failed_read_in_between", {1, std::nullopt, 2, 3}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace fresh
