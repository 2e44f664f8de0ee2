#include "platform/mpris/PositionCorrector.h"

#include "QtTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

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
    const char* logLine;                 // the one line logged, or nullptr for none
};

QVariant us64(double seconds) { return QVariant::fromValue<qlonglong>(qlonglong(seconds * 1e6)); }
QVariant ms64(double seconds) { return QVariant::fromValue<qlonglong>(qlonglong(seconds * 1e3)); }
// A position in microseconds squeezed into a 32-bit value, as a player with the bug sends it.
QVariant us32(double seconds) { return QVariant::fromValue<qint32>(qint32(quint32(qulonglong(seconds * 1e6)))); }
QVariant uus32(double seconds) { return QVariant::fromValue<quint32>(quint32(qulonglong(seconds * 1e6))); }

const std::vector<CorrectionCase> correctionCases = {
    {"microseconds_as_sent", 200.0, {{0, us64(10)}, {0.5, us64(10.5)}}, 10.5, nullptr},
    {"milliseconds_are_found_by_their_rate", 200.0, {{0, ms64(60)}, {0.5, ms64(60.5)}, {1.0, ms64(61)}}, 61.0,
     "player query: vlc reports its position in milliseconds — corrected"},
    {"too_close_samples_tell_nothing", 200.0, {{0, ms64(60)}, {0.1, ms64(60.1)}}, 0.0601, nullptr},
    {"paused_samples_tell_nothing", 200.0, {{0, ms64(60), false}, {1, ms64(60), false}}, 0.06, nullptr},
    {"a_seek_between_samples_tells_nothing", 200.0, {{0, us64(10)}, {0.5, us64(150)}}, 150.0, nullptr},
    {"signed_32_bit_gone_negative", 3000.0, {{0, us32(2200)}}, std::optional(double(qulonglong(2200e6)) / 1e6),
     "player query: vlc position wraps at 32 bits — corrected"},
    {"unsigned_32_bit_wrapping_on_a_long_track", 6000.0, {{0, uus32(4294.5)}, {1, uus32(4295.5)}}, 4295.5,
     "player query: vlc position wraps at 32 bits — corrected"},
    {"a_seek_to_the_start_is_not_a_wrap", 3000.0, {{0, us32(2200)}, {0.5, us32(5)}}, 5.0,
     "player query: vlc position wraps at 32 bits — corrected"},
    {"past_the_end_is_not_shown", 200.0, {{0, us64(260)}}, std::nullopt,
     "player query: vlc position past the end of the track — not shown"},
    {"just_past_the_end_is_tolerated", 200.0, {{0, us64(200.5)}}, 200.5, nullptr},
    {"no_length_no_end", std::nullopt, {{0, us64(5000)}}, 5000.0, nullptr},
    {"negative_64_bit_is_no_position", 200.0, {{0, QVariant::fromValue<qlonglong>(-5)}}, std::nullopt, nullptr},
    {"a_string_is_no_position", 200.0, {{0, QStringLiteral("10")}}, std::nullopt, nullptr},
};

class Correction : public ::testing::TestWithParam<CorrectionCase> {
protected:
};

}  // namespace

TEST_P(Correction, ReadsTheLastSample)
{
    LogLines log;
    PositionCorrector corrector;
    const QDateTime start = QDateTime::fromSecsSinceEpoch(1800000000, Qt::UTC);
    std::optional<double> position;
    for (const Sample& sample : GetParam().samples) {
        position = corrector.seconds(QStringLiteral("vlc"), NowPlayingTrack{"Song", "Band", 200}, sample.reported, GetParam().length,
                                     sample.playing, start.addMSecs(qint64(sample.atSeconds * 1000)));
    }
    ASSERT_EQ(position.has_value(), GetParam().lastPosition.has_value());
    if (position)
        EXPECT_NEAR(*position, *GetParam().lastPosition, 1e-6);
    EXPECT_EQ(log.newMessages(), GetParam().logLine ? QStringList{QString::fromUtf8(GetParam().logLine)} : QStringList());
}

INSTANTIATE_TEST_SUITE_P(Positions, Correction, ::testing::ValuesIn(correctionCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CorrectionPerTrack, TheUnitAndTheLogStartAfreshWithEachTrack)
{
    LogLines log;
    PositionCorrector corrector;
    const QDateTime start = QDateTime::fromSecsSinceEpoch(1800000000, Qt::UTC);
    const auto read = [&](const char* track, QVariant value, double at) {
        return corrector.seconds(QStringLiteral("vlc"), NowPlayingTrack{QString::fromUtf8(track), "Band", 200}, value, 200.0, true,
                                 start.addMSecs(qint64(at * 1000)));
    };
    read("One", ms64(10), 0);
    EXPECT_NEAR(*read("One", ms64(11), 1), 11, 1e-6);
    EXPECT_NEAR(*read("One", ms64(12), 2), 12, 1e-6);
    // A player fixed between tracks: the new track is read in microseconds again.
    EXPECT_NEAR(*read("Two", us64(3), 3), 3, 1e-6);
    EXPECT_NEAR(*read("Two", us64(4), 4), 4, 1e-6);
    read("Three", ms64(10), 5);
    read("Three", ms64(11), 6);
    EXPECT_EQ(log.newMessages().count(QStringLiteral("player query: vlc reports its position in milliseconds — corrected")), 2);
}
