#include "QuerySupport.h"

#include "playback/NowPlayingMonitor.h"

#include <QCoreApplication>
#include <QThread>

#include <thread>

namespace {

PlayerSample playing(double position, double atSeconds, const char* title = "Title", double duration = 215)
{
    return PlayerSample{QStringLiteral("spotify"),
                        QString::fromUtf8(title),
                        QStringLiteral("Artist"),
                        duration,
                        position,
                        true,
                        at(atSeconds)};
}

PlayerSample paused(double position, double atSeconds)
{
    PlayerSample sample = playing(position, atSeconds);
    sample.isPlaying = false;
    return sample;
}

// A monitor whose query never answers, fed by hand; its clock reads `now`, which each ingest
// below sets to the sample's own time plus a little, as a real query would.
class Monitor : public ::testing::Test {
protected:
    void SetUp() override
    {
        QObject::connect(&monitor, &NowPlayingMonitor::playingReported, [this](bool p) { lastPlaying = p; });
        QObject::connect(&monitor, &NowPlayingMonitor::trackChanged, [this](const auto& t) { lastTrack = t; });
        QObject::connect(&monitor, &NowPlayingMonitor::anchorChanged, [this](const auto& a) { lastAnchor = a; });
    }

    void feed(const std::optional<PlayerSample>& sample)
    {
        if (sample)
            now = sample->sampledAt.addMSecs(20);
        monitor.ingest(sample);
    }

    QDateTime now = t0();
    NowPlayingMonitor monitor{[](NowPlayingMonitor::Completion) {}, nullptr, [this] { return now; }};
    LogLines log;
    std::optional<bool> lastPlaying;
    std::optional<std::optional<NowPlayingTrack>> lastTrack;
    std::optional<PlayheadAnchor> lastAnchor;
};

const NowPlayingTrack titleTrack{QStringLiteral("Title"), QStringLiteral("Artist"), 215};
const QString nowPlaying = QStringLiteral("now playing (spotify): Artist — Title (215.0s)");

std::vector<std::optional<PlayerSample>> steadyPlay()
{
    std::vector<std::optional<PlayerSample>> samples;
    for (int i = 0; i <= 20; ++i)
        samples.push_back(playing(12 + i * 0.5 + (i % 2 ? 0.1 : -0.1), i * 0.5));
    return samples;
}

std::vector<std::optional<PlayerSample>> pausedAWhile()
{
    std::vector<std::optional<PlayerSample>> samples{playing(10, 0)};
    for (int i = 1; i < 10; ++i)
        samples.push_back(paused(10.5, i * 0.5));
    return samples;
}

struct FeedCase {
    const char* name;
    std::vector<std::optional<PlayerSample>> samples;
    std::optional<NowPlayingTrack> track;
    PlayheadAnchor anchor;
    QStringList log;
};

class MonitorFeed : public Monitor, public ::testing::WithParamInterface<FeedCase> {};

TEST_P(MonitorFeed, EndsOnTrackAnchorAndLog)
{
    for (const std::optional<PlayerSample>& sample : GetParam().samples)
        feed(sample);
    EXPECT_EQ(monitor.track(), GetParam().track);
    EXPECT_EQ(monitor.anchor(), GetParam().anchor);
    EXPECT_EQ(lastPlaying, GetParam().samples.back() && GetParam().samples.back()->isPlaying);
    EXPECT_EQ(lastTrack.value_or(std::nullopt), monitor.track());
    EXPECT_EQ(lastAnchor.value_or(PlayheadAnchor::idle()), monitor.anchor());
    EXPECT_EQ(log.newMessages(), GetParam().log);
}

INSTANTIATE_TEST_SUITE_P(
    Monitor, MonitorFeed,
    ::testing::Values(
        FeedCase{"nothing_playing_at_launch_changes_nothing", {std::nullopt}, std::nullopt, PlayheadAnchor::idle(), {}},
        FeedCase{"first_sample", {playing(12, 0)}, titleTrack, {12, at(0), 1}, {nowPlaying}},
        FeedCase{"steady_play_keeps_the_first_anchor", steadyPlay(), titleTrack, {11.9, at(0), 1}, {nowPlaying}},
        FeedCase{"exactly_a_quarter_ahead_keeps",
                 {playing(10, 0), playing(10.75, 0.5)},
                 titleTrack,
                 {10, at(0), 1},
                 {nowPlaying}},
        FeedCase{"exactly_a_quarter_behind_keeps",
                 {playing(10, 0), playing(10.25, 0.5)},
                 titleTrack,
                 {10, at(0), 1},
                 {nowPlaying}},
        FeedCase{"three_tenths_behind_replaces",
                 {playing(10, 0), playing(10.2, 0.5)},
                 titleTrack,
                 {10.2, at(0.5), 1},
                 {nowPlaying}},
        FeedCase{"three_tenths_ahead_replaces",
                 {playing(10, 0), playing(10.8, 0.5)},
                 titleTrack,
                 {10.8, at(0.5), 1},
                 {nowPlaying}},
        FeedCase{
            "seek_back_replaces", {playing(10, 0), playing(-19.5, 0.5)}, titleTrack, {-19.5, at(0.5), 1}, {nowPlaying}},
        FeedCase{"pausing_replaces_once_then_holds", pausedAWhile(), titleTrack, {10.5, at(0.5), 0}, {nowPlaying}},
        FeedCase{"resuming_replaces",
                 [] {
                     auto s = pausedAWhile();
                     s.push_back(playing(10.5, 5));
                     return s;
                 }(),
                 titleTrack,
                 {10.5, at(5), 1},
                 {nowPlaying}},
        FeedCase{"same_song_started_again_keeps_the_track",
                 {playing(200, 0), playing(0.2, 0.5)},
                 titleTrack,
                 {0.2, at(0.5), 1},
                 {nowPlaying}},
        FeedCase{"half_a_second_of_duration_is_another_track",
                 {playing(10, 0), playing(10.5, 0.5, "Title", 215.5)},
                 NowPlayingTrack{"Title", "Artist", 215.5},
                 {10.5, at(0.5), 1},
                 {nowPlaying, "now playing (spotify): Artist — Title (215.5s)"}},
        FeedCase{"a_failed_query_clears_once",
                 {playing(10, 0), std::nullopt, std::nullopt},
                 std::nullopt,
                 PlayheadAnchor::idle(),
                 {nowPlaying, "nothing playing"}},
        FeedCase{"the_next_sample_restores",
                 {playing(10, 0), std::nullopt, playing(11, 1)},
                 titleTrack,
                 {11, at(1), 1},
                 {nowPlaying, "nothing playing", nowPlaying}}),
    [](const auto& info) { return std::string(info.param.name); });

// Whoever hears of a new track reads the anchor it had; the new anchor follows.
TEST_F(Monitor, TheTrackChangesBeforeTheAnchor)
{
    QStringList order;
    QObject::connect(&monitor, &NowPlayingMonitor::trackChanged, [&](const auto& t) {
        order << QStringLiteral("%1 with %2")
                     .arg(t ? "track" : "none", monitor.anchor() == PlayheadAnchor::idle() ? "idle" : "anchor");
    });
    QObject::connect(&monitor, &NowPlayingMonitor::anchorChanged,
                     [&](const auto& a) { order << (a == PlayheadAnchor::idle() ? "idle" : "anchor"); });
    feed(std::nullopt);  // nothing, as before: nothing changes
    feed(playing(12, 0));
    feed(std::nullopt);
    feed(std::nullopt);
    EXPECT_EQ(order, (QStringList{"track with idle", "anchor", "none with anchor", "idle"}));
}

}  // namespace

TEST(MonitorPolling, ResultsFromAnotherThreadAreAppliedOnTheMainThread)
{
    NowPlayingMonitor::Completion pending;
    NowPlayingMonitor monitor([&](NowPlayingMonitor::Completion done) {
        if (!pending)
            pending = std::move(done);
    });
    QThread* appliedOn = nullptr;
    QObject::connect(&monitor, &NowPlayingMonitor::trackChanged, [&] { appliedOn = QThread::currentThread(); });
    ASSERT_TRUE(pending);  // the first poll is made at once
    std::thread([&] { pending(playing(3, 0)); }).join();
    ASSERT_TRUE(waitUntil([&] { return monitor.track().has_value(); }));
    EXPECT_EQ(appliedOn, QThread::currentThread());
}

TEST(MonitorPolling, AResultForAMonitorThatIsGoneIsDropped)
{
    NowPlayingMonitor::Completion pending;
    auto monitor = std::make_unique<NowPlayingMonitor>([&](NowPlayingMonitor::Completion done) { pending = done; });
    monitor.reset();
    std::thread([&] { pending(playing(3, 0)); }).join();
    bool drained = false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&] { drained = true; }, Qt::QueuedConnection);
    EXPECT_TRUE(waitUntil([&] { return drained; }));  // the posted result ran first, and touched nothing
}

TEST(MonitorSeeks, AReportedSeekQueriesAtOnceFromAnyThreadAndOutlivesTheMonitor)
{
    int queries = 0;
    std::function<void()> report;
    {
        NowPlayingMonitor monitor([&queries](NowPlayingMonitor::Completion) { ++queries; });
        ASSERT_EQ(queries, 1);  // the first poll, at once
        report = monitor.seekReporter();
        std::thread player([&report] { report(); });
        player.join();
        // Well inside the poll interval, so only the seek can have asked.
        ASSERT_TRUE(waitUntil([&] { return queries == 2; }, NowPlayingMonitor::sampleIntervalMs / 2));
    }
    report();
    QCoreApplication::processEvents();
    EXPECT_EQ(queries, 2);
}
