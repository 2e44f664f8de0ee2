#include "app/DemoTrack.h"
#include "app/EngineFrameFeed.h"
#include "app/LyricEngine.h"
#include "app/TrackTiming.h"
#include "lyrics/PendingLyrics.h"
#include "settings/AppSettings.h"
#include "settings/JsonFileDefaultsStore.h"
#include "EventLoopWait.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(TrackTiming, OffsetLabelsAreSignedWithTheFewestDecimals)
{
    const std::pair<double, const char16_t*> labels[] = {
        {0.3, u"+0.3 s"}, {-0.1, u"\u22120.1 s"},   {0.1 + 0.2, u"+0.3 s"},
        {1.0, u"+1.0 s"}, {-1.25, u"\u22121.25 s"}, {30.0, u"+30.0 s"},
        {0.0, u"0.0 s"},  {-0.0004, u"0.0 s"},      {0.0105, u"+0.011 s"}};
    for (const auto& [seconds, label] : labels)
        EXPECT_EQ(offsetLabel(seconds), QString::fromUtf16(label)) << seconds;
}

const NowPlayingTrack song{QStringLiteral("Song"), QStringLiteral("Band"), 200.0};
const NowPlayingTrack other{QStringLiteral("Other"), QStringLiteral("Band"), 180.0};

TEST(TrackTiming, EachTrackGetsItsOwnOffsetAndNothingPlayingHasNone)
{
    QTemporaryDir folder;
    TrackOffsets offsets(folder.filePath(QStringLiteral("offsets.json")));
    TrackTiming timing(offsets);
    QList<double> inForce;
    QObject::connect(&timing, &TrackTiming::offsetChanged, [&](double seconds) { inForce.append(seconds); });
    EXPECT_FALSE(timing.nudge(0.1));  // nothing playing: nothing to nudge
    timing.followTrack(song);
    EXPECT_TRUE(timing.nudge(0.1));
    EXPECT_TRUE(timing.nudge(0.1));
    timing.followTrack(other);
    timing.followTrack(song);
    timing.followTrack(std::nullopt);
    EXPECT_FALSE(timing.reset());
    EXPECT_EQ(inForce, (QList<double>{0.1, 0.2, 0.0, 0.2, 0.0}));
}

// Seconds until the next word: an offset of d seconds shows at t what would have shown at t − d.
TEST(TrackTiming, TheDrawnPlayheadFollowsTheOffsetAndTheTextScaleIsHeldToItsBounds)
{
    const QDateTime start = QDateTime::currentDateTimeUtc();
    QDateTime now = start;
    LyricEngine engine(
        demo_track::playerQuery(start, [&] { return now; }),
        [](const NowPlayingTrack&) -> PendingLyrics* { return new ReadyLyrics(demo_track::lyrics(), nullptr); },
        nullptr, [&] { return now; });
    ASSERT_TRUE(waitFor([&] { return engine.lyrics().has_value(); }));
    QTemporaryDir folder;
    JsonFileDefaultsStore store(folder.filePath(QStringLiteral("defaults.json")));
    AppSettings settings(store);
    EngineFrameFeed feed(engine, settings);
    const QDateTime at = start.addMSecs(7300);
    for (double d : {0.0, 0.25, -0.6, 2.0}) {
        feed.setTimingOffset(0.0);
        const std::optional<double> unshifted = feed.secondsUntilNextChange(at.addMSecs(qint64(-d * 1000)));
        feed.setTimingOffset(d);
        const std::optional<double> shifted = feed.secondsUntilNextChange(at);
        ASSERT_TRUE(unshifted && shifted) << d;
        EXPECT_NEAR(*shifted, *unshifted, 1e-6) << d;
    }
    settings.setLyricFont(LyricFont::didot);
    settings.setColor(Color{1, 1, 0, 1}, ColorSlot::highlight);  // yellow reads with black on it
    settings.setTextScale(9.0);
    const FrameSettings values = frameSettingsFrom(settings);
    EXPECT_TRUE(values.textScale == 4.0 && values.font == LyricFont::didot && values.contrastColor == Color::black());
}

TEST(DemoTrack, ThePretendPlayerLoopsTheSong)
{
    const QDateTime start = QDateTime::fromSecsSinceEpoch(1000000, Qt::UTC);
    QDateTime now = start.addMSecs(37'250);
    const auto query = demo_track::playerQuery(start, [&now] { return now; });
    std::optional<PlayerSample> sample;
    query([&sample](std::optional<PlayerSample> answer) { sample = std::move(answer); });
    ASSERT_TRUE(sample && sample->isPlaying);
    EXPECT_NEAR(sample->position, 7.25, 1e-9);
    now = start.addMSecs(-500);  // a clock that stepped back: the song's start
    query([&sample](std::optional<PlayerSample> answer) { sample = std::move(answer); });
    EXPECT_DOUBLE_EQ(sample->position, 0);
}

}  // namespace
