// The current track's timing offset: how it follows tracks, what it shows, and that the overlay's
// playhead moves by it.
#include "app/DemoTrack.h"
#include "app/EngineFrameFeed.h"
#include "app/LyricEngine.h"
#include "app/TrackTiming.h"
#include "lyrics/PendingLyrics.h"
#include "settings/AppSettings.h"

#include "EventLoopWait.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

struct LabelCase {
    double seconds;
    const char16_t* label;
};

class OffsetLabel : public ::testing::TestWithParam<LabelCase> {};

TEST_P(OffsetLabel, IsSignedWithTheFewestDecimals)
{
    EXPECT_EQ(offsetLabel(GetParam().seconds), QString::fromUtf16(GetParam().label));
}

INSTANTIATE_TEST_SUITE_P(Values, OffsetLabel, ::testing::Values(
    LabelCase{0.3, u"+0.3 s"}, LabelCase{-0.1, u"\u22120.1 s"}, LabelCase{0.1 + 0.2, u"+0.3 s"},
    LabelCase{1.0, u"+1.0 s"}, LabelCase{-1.25, u"\u22121.25 s"}, LabelCase{30.0, u"+30.0 s"},
    LabelCase{0.0, u"0.0 s"}, LabelCase{-0.0004, u"0.0 s"}, LabelCase{0.0105, u"+0.011 s"}));

QString freshOffsetsFile(const char* name)
{
    const QString folder = QDir::homePath() + QStringLiteral("/timing/") + QString::fromUtf8(name);
    QDir(folder).removeRecursively();
    return folder + QStringLiteral("/offsets.json");
}

const NowPlayingTrack song{QStringLiteral("Song"), QStringLiteral("Band"), 200.0};
const NowPlayingTrack other{QStringLiteral("Other"), QStringLiteral("Band"), 180.0};

TEST(TrackTiming, EachTrackGetsItsOwnOffsetAndNothingPlayingHasNone)
{
    TrackOffsets offsets(freshOffsetsFile("tracks"));
    TrackTiming timing(offsets);
    QList<double> inForce;
    QObject::connect(&timing, &TrackTiming::offsetChanged, [&](double seconds) { inForce.append(seconds); });
    EXPECT_FALSE(timing.nudge(0.1));  // nothing playing: nothing to nudge
    timing.followTrack(song);
    EXPECT_TRUE(timing.nudge(0.1));
    EXPECT_TRUE(timing.nudge(0.1));
    timing.followTrack(other);
    EXPECT_EQ(timing.offset(), 0.0);
    timing.followTrack(song);
    EXPECT_DOUBLE_EQ(timing.offset(), 0.2);
    timing.followTrack(std::nullopt);
    EXPECT_EQ(timing.offset(), 0.0);
    EXPECT_FALSE(timing.reset());
    const QList<double> seen{0.1, 0.2, 0.0, 0.2, 0.0};
    ASSERT_EQ(inForce.size(), seen.size());
    for (qsizetype i = 0; i < seen.size(); ++i)
        EXPECT_DOUBLE_EQ(inForce[i], seen[i]);
}

// Seconds until the next word, as the band would sleep: an offset of d seconds shows at t what
// would have shown at t − d.
TEST(TrackTiming, TheDrawnPlayheadFollowsTheOffset)
{
    const QDateTime start = QDateTime::currentDateTimeUtc();
    QDateTime now = start;
    LyricEngine engine(
        demo_track::playerQuery(start, [&] { return now; }),
        [](const NowPlayingTrack&) -> PendingLyrics* { return new ReadyLyrics(demo_track::lyrics(), nullptr); },
        nullptr, [&] { return now; });
    ASSERT_TRUE(waitFor([&] { return engine.lyrics().has_value(); }));
    EngineFrameFeed feed(engine, AppSettings::shared());
    int changed = 0;
    QObject::connect(&feed, &FrameFeed::changed, [&] { ++changed; });
    const QDateTime at = start.addMSecs(7300);
    for (double d : {0.0, 0.25, -0.6, 2.0}) {
        feed.setTimingOffset(0.0);
        const std::optional<double> unshifted = feed.secondsUntilNextChange(at.addMSecs(qint64(-d * 1000)));
        feed.setTimingOffset(d);
        const std::optional<double> shifted = feed.secondsUntilNextChange(at);
        ASSERT_TRUE(unshifted && shifted) << d;
        EXPECT_NEAR(*shifted, *unshifted, 1e-6) << d;
    }
    EXPECT_GT(changed, 0);
}

}  // namespace
