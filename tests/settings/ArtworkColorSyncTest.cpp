// The artwork colour sync's rules, run with its real artwork thread, loader and settings: once
// per track, what auto sync does when switched, jobs in order, a late or unwanted colour, and
// downloads that the artwork thread waits for without holding up the main thread.
#include "settings/AppSettings.h"
#include "settings/ArtworkColorSync.h"
#include "settings/JsonFileDefaultsStore.h"

#include "ArtworkTestSupport.h"
#include "LoopbackHttpServer.h"
#include "QtTestSupport.h"
#include "SettingsTestSupport.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <mutex>

using namespace std::chrono_literals;

namespace {

// Stands in for the player: answers each ask with the next of the locations the test queued
// (the last one again once they run out), and can hold an ask until the test lets it go.
struct PlayerArtwork {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<ArtworkLocation> answers{ArtworkLocation()};
    int asks = 0;
    bool holding = false;

    template <typename Change>
    void change(Change&& apply)
    {
        std::lock_guard lock(mutex);
        apply();
        changed.notify_all();
    }
    void answer(std::initializer_list<ArtworkLocation> locations) { change([&] { answers.assign(locations); }); }
    void hold() { change([&] { holding = true; }); }
    void release() { change([&] { holding = false; }); }
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

class ScriptedSource : public ArtworkSource {
public:
    explicit ScriptedSource(std::shared_ptr<PlayerArtwork> player) : m_player(std::move(player)) {}
    ArtworkLocation currentArtwork() override { return m_player->next(); }

private:
    std::shared_ptr<PlayerArtwork> m_player;
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
        auto made = std::make_unique<ArtworkColorSync>(
            settings, [player = player] { return std::make_unique<ScriptedSource>(player); }, limits);
        // As the application wires it.
        QObject::connect(&settings, &AppSettings::artworkRefreshRequested, made.get(), &ArtworkColorSync::refresh);
        return made;
    }
    QStringList syncLines() const { return log.newMessages().filter(QStringLiteral("auto sync:")); }
    bool logged(const QStringList& lines)
    {
        return waitUntil([&] { return syncLines() == lines; });
    }
};

TEST_F(Sync, WithAutoSyncOffTrackChangesOnlyRecordTheTrack)
{
    player->answer({pngOf(red)});
    sync->trackChanged(first);
    sync->trackChanged(second);
    EXPECT_EQ(sync->lastTrack(), second);
    EXPECT_EQ(sync->appliedForTrack(), std::nullopt);

    // Switching on runs one job, for the current track; none was waiting from before.
    settings.setAutoSyncColors(true);
    ASSERT_TRUE(logged({redLine}));
    EXPECT_EQ(player->askCount(), 1);
    EXPECT_EQ(sync->appliedForTrack(), second);
    EXPECT_EQ(settings.highlightColor(), colorOf(red));
}

TEST_F(Sync, ColoursAreTakenOncePerTrackHoweverOftenAutoSyncIsSwitched)
{
    settings.setColor(saved, ColorSlot::highlight);
    settings.setAutoSyncColors(true);
    player->answer({pngOf(red)});
    sync->trackChanged(first);
    ASSERT_TRUE(logged({redLine}));
    EXPECT_EQ(settings.highlightColor(), colorOf(red));

    settings.setAutoSyncColors(false);
    EXPECT_EQ(settings.highlightColor(), saved);  // the stored colour is back
    settings.setAutoSyncColors(true);  // same track, already applied: no job
    EXPECT_EQ(settings.highlightColor(), saved);

    player->answer({pngOf(blue)});
    sync->trackChanged(second);
    ASSERT_TRUE(logged({redLine, blueLine}));
    EXPECT_EQ(player->askCount(), 2);
    EXPECT_EQ(settings.highlightColor(), colorOf(blue));
}

TEST_F(Sync, TheSameTrackAfterAStopIsFetchedAgain)
{
    settings.setAutoSyncColors(true);
    player->answer({pngOf(red), pngOf(blue)});
    sync->trackChanged(first);
    ASSERT_TRUE(logged({redLine}));
    sync->trackChanged(std::nullopt);
    EXPECT_EQ(sync->appliedForTrack(), std::nullopt);
    sync->refresh();  // nothing plays: nothing to do
    sync->trackChanged(first);
    ASSERT_TRUE(logged({redLine, blueLine}));
    EXPECT_EQ(player->askCount(), 2);
}

TEST_F(Sync, RefreshDoesNotRememberAWaitingJob)
{
    settings.setAutoSyncColors(true);
    player->hold();
    player->answer({pngOf(red), pngOf(blue)});
    sync->trackChanged(first);
    sync->refresh();  // the first job has not applied yet: a second one is queued
    player->release();
    ASSERT_TRUE(logged({redLine, blueLine}));
    EXPECT_EQ(sync->appliedForTrack(), first);
}

struct NoArtworkCase {
    const char* fault;
    ArtworkLocation location;

    friend void PrintTo(const NoArtworkCase& c, std::ostream* out) { *out << '"' << c.fault << '"'; }
};

class NoArtwork : public Sync, public ::testing::WithParamInterface<NoArtworkCase> {};

TEST_P(NoArtwork, LeavesTheColoursAndIsTriedAgainByTheNextRefresh)
{
    settings.setAutoSyncColors(true);
    const Color before = settings.highlightColor();
    player->answer({GetParam().location, pngOf(red)});
    sync->trackChanged(first);
    ASSERT_TRUE(logged({noArtworkLine})) << GetParam().fault;
    EXPECT_EQ(settings.highlightColor(), before);
    EXPECT_EQ(sync->appliedForTrack(), std::nullopt);

    sync->refresh();
    ASSERT_TRUE(logged({noArtworkLine, redLine}));
    EXPECT_EQ(sync->appliedForTrack(), first);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, NoArtwork,
    ::testing::Values(NoArtworkCase{"the player has no artwork", ArtworkLocation()},
                      NoArtworkCase{"bytes that are no picture", QByteArray(4000, 'z')},
                      NoArtworkCase{"a picture cut short", pngOf(red).left(60)},
                      NoArtworkCase{"an address of an unfollowed scheme",
                                    QUrl(QStringLiteral("ftp://covers.example/a.png"))},
                      NoArtworkCase{"a file that is not there", QUrl(QStringLiteral("file:///nonexistent/a.png"))}));

TEST_F(Sync, AJobThatFinishesAfterTheTrackChangedStillAppliesUnderItsOwnTrack)
{
    settings.setAutoSyncColors(true);
    player->hold();
    player->answer({pngOf(red), pngOf(blue)});
    sync->trackChanged(first);
    ASSERT_TRUE(waitUntil([&] { return player->askCount() == 1; }));
    sync->trackChanged(second);  // queued behind the first job
    player->release();
    ASSERT_TRUE(logged({redLine, blueLine}));
    EXPECT_EQ(sync->appliedForTrack(), second);
    EXPECT_EQ(settings.highlightColor(), colorOf(blue));
}

TEST_F(Sync, AColourThatArrivesAfterAutoSyncWentOffIsDropped)
{
    settings.setColor(saved, ColorSlot::highlight);
    settings.setAutoSyncColors(true);
    player->hold();
    player->answer({pngOf(red), ArtworkLocation()});
    sync->trackChanged(first);
    sync->refresh();  // a second job, which finds nothing and so marks when the first is done
    ASSERT_TRUE(waitUntil([&] { return player->askCount() == 1; }));
    settings.setAutoSyncColors(false);
    player->release();
    // The first job's colour was handed over before the second job logged.
    ASSERT_TRUE(logged({noArtworkLine}));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(settings.highlightColor(), saved);
    EXPECT_EQ(sync->appliedForTrack(), std::nullopt);
    EXPECT_EQ(syncLines(), QStringList{noArtworkLine});
}

TEST_F(Sync, DownloadsRunOnTheArtworkThreadWhileTheMainThreadServes)
{
    // The server answers from the main thread's event loop: a job that blocked it would never
    // get its picture.
    LoopbackHttpServer server;
    server.setReply(QStringLiteral("/404-with-cover"),
                    LoopbackHttpServer::Reply{404, pngOf(red), {{"Content-Type", "image/png"}}});
    server.setReply(QStringLiteral("/slow"), LoopbackHttpServer::Reply::stalling());
    sync = makeSync(ArtworkLimits{300ms});
    settings.setAutoSyncColors(true);
    player->answer({server.baseUrl().resolved(QUrl(QStringLiteral("/slow"))),
                    server.baseUrl().resolved(QUrl(QStringLiteral("/404-with-cover")))});
    sync->trackChanged(first);
    ASSERT_TRUE(logged({noArtworkLine}));
    EXPECT_EQ(server.requestsFor(QStringLiteral("/slow")).size(), 1);
    sync->refresh();
    ASSERT_TRUE(logged({noArtworkLine, redLine}));
    EXPECT_EQ(settings.highlightColor(), colorOf(red));
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
