// The artwork colour sync with its real artwork thread, loader and settings.
#include "settings/AppSettings.h"
#include "settings/ArtworkColorSync.h"
#include "settings/JsonFileDefaultsStore.h"
#include "ArtworkTestSupport.h"
#include "LoopbackHttpServer.h"
#include "QtTestSupport.h"
#include "SettingsTestSupport.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <condition_variable>
#include <deque>
#include <mutex>

using namespace std::chrono_literals;

namespace {

// Stands in for the player: answers each ask with the next of the locations queued (the last one
// again once they run out), and can hold an ask until released.
struct PlayerArtwork {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<ArtworkLocation> answers{ArtworkLocation()};
    int asks = 0;
    bool holding = false;

    void answer(std::initializer_list<ArtworkLocation> locations)
    {
        std::lock_guard lock(mutex);
        answers.assign(locations);
    }
    void hold(bool on)
    {
        std::lock_guard lock(mutex);
        holding = on;
        changed.notify_all();
    }
    int askCount()
    {
        std::lock_guard lock(mutex);
        return asks;
    }
    ArtworkLocation next()
    {
        std::unique_lock lock(mutex);
        ++asks;
        changed.wait(lock, [this] { return !holding; });
        const ArtworkLocation location = answers.front();
        if (answers.size() > 1)
            answers.pop_front();
        return location;
    }
};

struct ScriptedSource : ArtworkSource {
    explicit ScriptedSource(std::shared_ptr<PlayerArtwork> player) : player(std::move(player)) {}
    ArtworkLocation currentArtwork() override { return player->next(); }
    std::shared_ptr<PlayerArtwork> player;
};

const NowPlayingTrack first{"Lanterns", "Harbour Lights", 212.5};
const NowPlayingTrack second{"Tide Tables", "Harbour Lights", 187.0};
const QColor red(220, 20, 20);
const QColor blue(30, 60, 230);
const QString redLine = QStringLiteral("auto sync: accent #DC1414FF");
const QString blueLine = QStringLiteral("auto sync: accent #1E3CE6FF");
const QString noArtworkLine = QStringLiteral("auto sync: no artwork for current track");
// A colour that survives the store's hex form unchanged.
const Color saved{51 / 255.0, 102 / 255.0, 153 / 255.0, 1.0};

Color colorOf(const QColor& c)
{
    return Color{c.red() / 255.0, c.green() / 255.0, c.blue() / 255.0, 1.0};
}

class Sync : public ::testing::Test {
protected:
    WithQtApplication app;
    QTemporaryDir dir;
    JsonFileDefaultsStore store{dir.filePath(QStringLiteral("defaults.json"))};
    AppSettings settings{store};
    std::shared_ptr<PlayerArtwork> player = std::make_shared<PlayerArtwork>();
    std::unique_ptr<ArtworkColorSync> sync = makeSync(ArtworkLimits{});
    LogLines log;

    std::unique_ptr<ArtworkColorSync> makeSync(ArtworkLimits limits)
    {
        auto made = std::make_unique<ArtworkColorSync>(settings, [p = player] { return std::make_unique<ScriptedSource>(p); }, limits);
        QObject::connect(&settings, &AppSettings::artworkRefreshRequested, made.get(), &ArtworkColorSync::refresh);  // as the app wires it
        return made;
    }
    QStringList syncLines() const { return log.newMessages().filter(QStringLiteral("auto sync:")); }
    bool logged(const QStringList& lines) { return waitUntil([&] { return syncLines() == lines; }); }
};

TEST_F(Sync, ColoursAreTakenOncePerTrackHoweverOftenAutoSyncIsSwitched)
{
    settings.setColor(saved, ColorSlot::highlight);
    player->answer({pngOf(red), pngOf(blue), pngOf(red)});
    sync->trackChanged(first);
    sync->trackChanged(second);  // auto sync off: the track is only recorded
    EXPECT_EQ(sync->lastTrack(), second);
    EXPECT_EQ(sync->appliedForTrack(), std::nullopt);
    settings.setAutoSyncColors(true);  // one job, for the current track
    ASSERT_TRUE(logged({redLine}));
    EXPECT_EQ(sync->appliedForTrack(), second);
    EXPECT_EQ(settings.highlightColor(), colorOf(red));
    settings.setAutoSyncColors(false);
    EXPECT_EQ(settings.highlightColor(), saved);  // the stored colour is back
    settings.setAutoSyncColors(true);  // same track, already applied: no job
    EXPECT_EQ(settings.highlightColor(), saved);
    sync->trackChanged(first);
    ASSERT_TRUE(logged({redLine, blueLine}));
    EXPECT_EQ(settings.highlightColor(), colorOf(blue));
    sync->trackChanged(std::nullopt);
    EXPECT_EQ(sync->appliedForTrack(), std::nullopt);
    sync->refresh();  // nothing plays: nothing to do
    sync->trackChanged(first);  // the same track after a stop is fetched again
    ASSERT_TRUE(logged({redLine, blueLine, redLine}));
    EXPECT_EQ(player->askCount(), 3);
}

// Downloads run on the artwork thread: the server answers from this thread's event loop, so a job
// that blocked it would never end.
TEST_F(Sync, NoArtworkLeavesTheColoursAndIsTriedAgainByTheNextRefresh)
{
    LoopbackHttpServer server;
    server.setReply(QStringLiteral("/cover"), LoopbackHttpServer::Reply{200, pngOf(red), {}});
    server.setReply(QStringLiteral("/slow"), LoopbackHttpServer::Reply::stalling());
    sync = makeSync(ArtworkLimits{300ms});
    settings.setAutoSyncColors(true);
    player->answer({ArtworkLocation(), server.baseUrl().resolved(QUrl(QStringLiteral("/slow"))), QByteArray(4000, 'z'),
                    server.baseUrl().resolved(QUrl(QStringLiteral("/cover")))});
    sync->trackChanged(first);
    for (int failures = 1; failures <= 3; ++failures) {  // none, a download that times out, bytes that are no picture
        ASSERT_TRUE(logged(QStringList(failures, noArtworkLine)));
        EXPECT_EQ(settings.highlightColor(), Color::white());
        EXPECT_EQ(sync->appliedForTrack(), std::nullopt);
        sync->refresh();
    }
    ASSERT_TRUE(logged(QStringList(3, noArtworkLine) << redLine));
    EXPECT_EQ(sync->appliedForTrack(), first);
    EXPECT_EQ(settings.highlightColor(), colorOf(red));
    EXPECT_EQ(server.requestsFor(QStringLiteral("/slow")).size(), 1);
}

TEST_F(Sync, JobsRunInOrderAndALateOneAppliesUnderItsOwnTrack)
{
    settings.setAutoSyncColors(true);
    player->hold(true);
    player->answer({pngOf(red), pngOf(blue), pngOf(red)});
    sync->trackChanged(first);
    sync->refresh();  // the first job has not applied yet: a second one is queued, not dropped
    ASSERT_TRUE(waitUntil([&] { return player->askCount() == 1; }));
    sync->trackChanged(second);  // queued behind both
    player->hold(false);
    ASSERT_TRUE(logged({redLine, blueLine, redLine}));
    EXPECT_EQ(sync->appliedForTrack(), second);
    EXPECT_EQ(settings.highlightColor(), colorOf(red));
}

TEST_F(Sync, AColourThatArrivesAfterAutoSyncWentOffIsDropped)
{
    settings.setColor(saved, ColorSlot::highlight);
    settings.setAutoSyncColors(true);
    player->hold(true);
    player->answer({pngOf(red), ArtworkLocation()});
    sync->trackChanged(first);
    sync->refresh();  // a second job, which finds nothing and so marks when the first is done
    ASSERT_TRUE(waitUntil([&] { return player->askCount() == 1; }));
    settings.setAutoSyncColors(false);
    player->hold(false);
    // The first job's colour was handed over before the second job logged.
    ASSERT_TRUE(logged({noArtworkLine}));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(settings.highlightColor(), saved);
    EXPECT_EQ(sync->appliedForTrack(), std::nullopt);
    EXPECT_EQ(syncLines(), QStringList{noArtworkLine});
}

TEST_F(Sync, StoppingCutsAWaitingDownloadShort)
{
    LoopbackHttpServer server;
    server.setReply(QStringLiteral("/slow"), LoopbackHttpServer::Reply::stalling());
    const ArtworkLimits patient{std::chrono::minutes(10)};
    sync = makeSync(patient);
    settings.setAutoSyncColors(true);
    player->answer({server.baseUrl().resolved(QUrl(QStringLiteral("/slow")))});
    sync->trackChanged(first);
    sync->refresh();  // a second job waits behind the first
    ASSERT_TRUE(waitUntil([&] { return !server.requestsFor(QStringLiteral("/slow")).isEmpty(); }));
    QElapsedTimer stopping;
    stopping.start();
    sync.reset();
    EXPECT_LT(stopping.elapsed(), std::chrono::milliseconds(patient.downloadTimeout).count() / 10);
}

}  // namespace
