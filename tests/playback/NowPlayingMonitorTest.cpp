#include "PlaybackTestSupport.h"

#include "QtTestSupport.h"

#include "playback/NowPlayingMonitor.h"

#include <QCoreApplication>
#include <QThread>

#include <thread>

namespace {

PlayerSample playing(double position, double atSeconds, const char* title = "Title", double duration = 215)
{
    return PlayerSample{QStringLiteral("spotify"), QString::fromUtf8(title), QStringLiteral("Artist"), duration,
                        position, true, at(atSeconds)};
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

    WithQtApplication app;  // before the monitor, whose timer needs it
    QDateTime now = t0();
    NowPlayingMonitor monitor{[](NowPlayingMonitor::Completion) {}, nullptr, [this] { return now; }};
    LogLines log;
    std::optional<bool> lastPlaying;
    std::optional<std::optional<NowPlayingTrack>> lastTrack;
    std::optional<PlayheadAnchor> lastAnchor;
};

const NowPlayingTrack titleTrack{QStringLiteral("Title"), QStringLiteral("Artist"), 215};

}  // namespace

TEST_F(Monitor, NothingPlayingAtLaunchChangesNothing)
{
    feed(std::nullopt);
    EXPECT_EQ(monitor.track(), std::nullopt);
    EXPECT_EQ(monitor.anchor(), PlayheadAnchor::idle());
    EXPECT_EQ(lastPlaying, false);
    EXPECT_EQ(lastTrack, std::nullopt);  // never assigned
    EXPECT_EQ(log.lines(), QStringList());
}

TEST_F(Monitor, FirstSampleLogsAndSetsTrackThenAnchor)
{
    QStringList order;
    QObject::connect(&monitor, &NowPlayingMonitor::trackChanged,
                     [&] { order << (monitor.anchor() == PlayheadAnchor::idle() ? "track, old anchor" : "track, new anchor"); });
    QObject::connect(&monitor, &NowPlayingMonitor::anchorChanged, [&] { order << "anchor"; });
    feed(playing(12, 0));
    EXPECT_EQ(order, (QStringList{"track, old anchor", "anchor"}));
    EXPECT_EQ(monitor.track(), titleTrack);
    EXPECT_EQ(monitor.anchor(), (PlayheadAnchor{12, at(0), 1}));
    EXPECT_EQ(lastPlaying, true);
    EXPECT_EQ(log.lines(), QStringList{"now playing (spotify): Artist — Title (215.0s)"});
}

TEST_F(Monitor, SteadyPlayWithSmallDisagreementsKeepsTheFirstAnchor)
{
    for (int i = 0; i <= 20; ++i)
        feed(playing(12 + i * 0.5 + (i % 2 ? 0.1 : -0.1), i * 0.5));
    EXPECT_EQ(lastAnchor, (PlayheadAnchor{11.9, at(0), 1}));
    EXPECT_EQ(monitor.anchor(), lastAnchor);
    EXPECT_EQ(lastTrack, titleTrack);
    EXPECT_EQ(log.lines().size(), 1);
}

struct JumpCase {
    const char* name;
    double offset;  // seconds between the second sample and the extrapolation
    bool replaces;
};

class MonitorJump : public Monitor, public ::testing::WithParamInterface<JumpCase> {};

TEST_P(MonitorJump, ReplacesTheAnchorOnlyPastTheThreshold)
{
    feed(playing(10, 0));
    feed(playing(10.5 + GetParam().offset, 0.5));
    const PlayheadAnchor expected = GetParam().replaces ? PlayheadAnchor{10.5 + GetParam().offset, at(0.5), 1}
                                                        : PlayheadAnchor{10, at(0), 1};
    EXPECT_EQ(monitor.anchor(), expected);
    EXPECT_EQ(lastAnchor, expected);
}

INSTANTIATE_TEST_SUITE_P(Monitor, MonitorJump,
                         ::testing::Values(JumpCase{"exactly_a_quarter_ahead", 0.25, false},
                                           JumpCase{"three_tenths_ahead", 0.3, true},
                                           JumpCase{"seek_back", -30, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Monitor, PausingReplacesOnceThenHoldsStill)
{
    feed(playing(10, 0));
    feed(paused(10.5, 0.5));
    for (int i = 2; i < 10; ++i)
        feed(paused(10.5, i * 0.5));
    EXPECT_EQ(lastAnchor, (PlayheadAnchor{10.5, at(0.5), 0}));
    EXPECT_EQ(lastPlaying, false);
    feed(playing(10.5, 5));
    EXPECT_EQ(lastAnchor, (PlayheadAnchor{10.5, at(5), 1}));
    EXPECT_EQ(lastPlaying, true);
}

TEST_F(Monitor, SameSongStartedAgainKeepsTheTrackButNotTheAnchor)
{
    feed(playing(200, 0));
    feed(playing(0.2, 0.5));
    EXPECT_EQ(log.lines(), QStringList{"now playing (spotify): Artist — Title (215.0s)"});
    EXPECT_EQ(lastTrack, titleTrack);
    EXPECT_EQ(lastAnchor, (PlayheadAnchor{0.2, at(0.5), 1}));
}

TEST_F(Monitor, HalfASecondOfDurationMakesAnotherTrack)
{
    feed(playing(10, 0, "Title", 215.0));
    feed(playing(10.5, 0.5, "Title", 215.5));
    EXPECT_EQ(log.lines(), (QStringList{"now playing (spotify): Artist — Title (215.0s)",
                                        "now playing (spotify): Artist — Title (215.5s)"}));
    EXPECT_EQ(lastTrack, (NowPlayingTrack{QStringLiteral("Title"), QStringLiteral("Artist"), 215.5}));
    EXPECT_EQ(lastAnchor, (PlayheadAnchor{10.5, at(0.5), 1}));  // a new track always re-anchors
}

TEST_F(Monitor, AFailedQueryMidTrackClearsAndTheNextSampleRestores)
{
    feed(playing(10, 0));
    QStringList order;
    QObject::connect(&monitor, &NowPlayingMonitor::trackChanged,
                     [&](const auto& t) { order << (t ? "track" : "no track"); });
    QObject::connect(&monitor, &NowPlayingMonitor::anchorChanged,
                     [&](const auto& a) { order << (a == PlayheadAnchor::idle() ? "idle" : "anchor"); });
    feed(std::nullopt);
    EXPECT_EQ(order, (QStringList{"no track", "idle"}));
    EXPECT_EQ(monitor.track(), std::nullopt);
    EXPECT_EQ(monitor.anchor(), PlayheadAnchor::idle());
    feed(std::nullopt);  // still nothing: no second line
    feed(playing(11, 1));
    EXPECT_EQ(monitor.track(), titleTrack);
    EXPECT_EQ(monitor.anchor(), (PlayheadAnchor{11, at(1), 1}));
    EXPECT_EQ(log.lines(), (QStringList{"now playing (spotify): Artist — Title (215.0s)", "nothing playing",
                                        "now playing (spotify): Artist — Title (215.0s)"}));
}

TEST(MonitorPolling, ResultsFromAnotherThreadAreAppliedOnTheMainThread)
{
    ensureQtApplication();
    NowPlayingMonitor::Completion pending;
    NowPlayingMonitor monitor([&](NowPlayingMonitor::Completion done) { if (!pending) pending = std::move(done); });
    QThread* appliedOn = nullptr;
    QObject::connect(&monitor, &NowPlayingMonitor::trackChanged, [&] { appliedOn = QThread::currentThread(); });
    ASSERT_TRUE(pending);  // the first poll is made at once
    std::thread([&] { pending(playing(3, 0)); }).join();
    ASSERT_TRUE(waitUntil([&] { return monitor.track().has_value(); }));
    EXPECT_EQ(appliedOn, QThread::currentThread());
}

TEST(MonitorPolling, AResultForAMonitorThatIsGoneIsDropped)
{
    ensureQtApplication();
    NowPlayingMonitor::Completion pending;
    auto monitor = std::make_unique<NowPlayingMonitor>([&](NowPlayingMonitor::Completion done) { pending = done; });
    monitor.reset();
    std::thread([&] { pending(playing(3, 0)); }).join();
    bool drained = false;
    QMetaObject::invokeMethod(QCoreApplication::instance(), [&] { drained = true; }, Qt::QueuedConnection);
    EXPECT_TRUE(waitUntil([&] { return drained; }));  // the posted result ran first, and touched nothing
}

TEST(MonitorSeeks, AReportedSeekQueriesAtOnceFromAnyThreadAndOutlivesTheMonitor)
{
    WithQtApplication app;
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
