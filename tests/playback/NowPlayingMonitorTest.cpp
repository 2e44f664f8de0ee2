#include "QuerySupport.h"

#include "playback/NowPlayingMonitor.h"

#include <QCoreApplication>
#include <QThread>

#include <thread>

using namespace Qt::StringLiterals;

namespace {

PlayerSample playing(double position, double atSeconds, const char* title = "Title", double duration = 215,
                     bool isPlaying = true)
{
    return {u"spotify"_s, QString::fromUtf8(title), u"Artist"_s, duration, position, isPlaying, at(atSeconds)};
}

// A monitor fed by hand; its clock reads a little after each sample's time, as after a real query.
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

std::vector<std::optional<PlayerSample>> pausedAWhile(bool thenResumed = false)
{
    std::vector<std::optional<PlayerSample>> samples{playing(10, 0), playing(10.5, 0.5, "Title", 215, false),
                                                     playing(10.5, 4.5, "Title", 215, false)};
    if (thenResumed)
        samples.push_back(playing(10.5, 5));
    return samples;
}

struct FeedCase {
    const char* name;
    std::vector<std::optional<PlayerSample>> samples;
    PlayheadAnchor anchor;
    QStringList log = {nowPlaying};
    std::optional<NowPlayingTrack> track = titleTrack;
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

using F = FeedCase;
INSTANTIATE_TEST_SUITE_P(
    Monitor, MonitorFeed,
    ::testing::Values(
        F{"nothing_playing_at_launch_changes_nothing", {std::nullopt}, PlayheadAnchor::idle(), {}, std::nullopt},
        F{"first_sample", {playing(12, 0)}, {12, at(0), 1}},
        F{"steady_play_keeps_the_first_anchor", {playing(12, 0), playing(17.1, 5), playing(21.9, 10)}, {12, at(0), 1}},
        F{"exactly_a_quarter_ahead_keeps", {playing(10, 0), playing(10.75, 0.5)}, {10, at(0), 1}},
        F{"exactly_a_quarter_behind_keeps", {playing(10, 0), playing(10.25, 0.5)}, {10, at(0), 1}},
        F{"just_over_a_quarter_behind_replaces", {playing(10, 0), playing(10.24, 0.5)}, {10.24, at(0.5), 1}},
        F{"just_over_a_quarter_ahead_replaces", {playing(10, 0), playing(10.76, 0.5)}, {10.76, at(0.5), 1}},
        F{"pausing_replaces_once_then_holds", pausedAWhile(), {10.5, at(0.5), 0}},
        F{"resuming_replaces", pausedAWhile(true), {10.5, at(5), 1}},
        F{"same_song_started_again_keeps_the_track", {playing(200, 0), playing(0.2, 0.5)}, {0.2, at(0.5), 1}},
        F{"half_a_second_longer_is_another_track",
          {playing(10, 0), playing(10.5, 0.5, "Title", 215.5)},
          {10.5, at(0.5), 1},
          {nowPlaying, "now playing (spotify): Artist — Title (215.5s)"},
          NowPlayingTrack{"Title", "Artist", 215.5}},
        F{"failure_clears_once", {playing(10, 0), {}, {}}, PlayheadAnchor::idle(), {nowPlaying, "nothing playing"}, {}},
        F{"the_next_sample_restores",
          {playing(10, 0), {}, playing(11, 1)},
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

TEST(MonitorPolling, ResultsAndSeeksFromAnotherThreadReachTheMainThreadOrAreDroppedWithTheMonitor)
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

    // A result for a monitor that is gone is dropped.
    NowPlayingMonitor::Completion orphan;
    auto gone = std::make_unique<NowPlayingMonitor>([&](NowPlayingMonitor::Completion done) { orphan = done; });
    gone.reset();
    std::thread([&] { orphan(playing(3, 0)); }).join();
    bool drained = false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&] { drained = true; }, Qt::QueuedConnection);
    EXPECT_TRUE(waitUntil([&] { return drained; }));  // the posted result ran first, and touched nothing
    // A reported seek queries at once from any thread, and outlives the monitor.
    int queries = 0;
    std::function<void()> report;
    {
        NowPlayingMonitor seeking([&queries](NowPlayingMonitor::Completion) { ++queries; });
        ASSERT_EQ(queries, 1);  // the first poll, at once
        report = seeking.seekReporter();
        std::thread player([&report] { report(); });
        player.join();
        // Well inside the poll interval, so only the seek can have asked.
        ASSERT_TRUE(waitUntil([&] { return queries == 2; }, NowPlayingMonitor::sampleIntervalMs / 2));
    }
    report();
    QCoreApplication::processEvents();
    EXPECT_EQ(queries, 2);
}
