#include "settings/ArtworkColorSync.h"
#include "ArtworkTestSupport.h"
#include "LoopbackHttpServer.h"
#include "QtTestSupport.h"
#include "SettingsTestSupport.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <deque>
#include <mutex>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {
// The player: answers with the queued locations in turn, the last one again; locking `gate` holds an ask.
struct PlayerArtwork : ArtworkSource {
    std::mutex gate;
    std::deque<ArtworkLocation> answers{ArtworkLocation()};
    std::atomic<int> asks = 0;

    void answer(std::initializer_list<ArtworkLocation> locations)
    {
        std::lock_guard lock(gate);
        answers.assign(locations);
    }
    ArtworkLocation currentArtwork() override
    {
        ++asks;
        std::lock_guard lock(gate);
        const ArtworkLocation location = answers.front();
        if (answers.size() > 1)
            answers.pop_front();
        return location;
    }
};

struct SourceFor : ArtworkSource {
    explicit SourceFor(std::shared_ptr<PlayerArtwork> p)
        : player(std::move(p))
    {}
    ArtworkLocation currentArtwork() override { return player->currentArtwork(); }
    std::shared_ptr<PlayerArtwork> player;
};

const NowPlayingTrack first{"Lanterns", "Harbour Lights", 212.5};
const NowPlayingTrack second{"Tide Tables", "Harbour Lights", 187.0};
const QColor red(220, 20, 20), blue(30, 60, 230);
const QString redLine = u"auto sync: accent #DC1414FF"_s, blueLine = u"auto sync: accent #1E3CE6FF"_s;
const QString noArtworkLine = u"auto sync: no artwork for current track"_s;
// A colour that survives the store's hex form unchanged.
const Color saved{51 / 255.0, 102 / 255.0, 153 / 255.0, 1.0};

Color colorOf(const QColor& c) { return Color{c.red() / 255.0, c.green() / 255.0, c.blue() / 255.0, 1.0}; }

class Sync : public ::testing::Test {
protected:
    WithQtApplication app;
    QTemporaryDir dir;
    JsonFileDefaultsStore store{dir.filePath(u"defaults.json"_s)};
    AppSettings settings{store};
    std::shared_ptr<PlayerArtwork> player = std::make_shared<PlayerArtwork>();
    std::unique_ptr<ArtworkColorSync> sync = makeSync(ArtworkLimits{});
    LogLines log;

    std::unique_ptr<ArtworkColorSync> makeSync(ArtworkLimits limits)
    {
        auto made = std::make_unique<ArtworkColorSync>(
            settings, [p = player] { return std::make_unique<SourceFor>(p); }, limits);
        QObject::connect(&settings, &AppSettings::artworkRefreshRequested, made.get(),
                         &ArtworkColorSync::refresh);  // as the app wires it
        return made;
    }
    QStringList syncLines() const { return log.newMessages().filter(u"auto sync:"_s); }
    bool logged(const QStringList& lines)
    {
        return waitUntil([&] { return syncLines() == lines; });
    }
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
    EXPECT_EQ(player->asks, 3);
}

// The server answers from this thread's event loop, so a download that blocked it would never end.
TEST_F(Sync, NoArtworkLeavesTheColoursAndIsTriedAgainByTheNextRefresh)
{
    LoopbackHttpServer server;
    server.setReply(u"/cover"_s, LoopbackHttpServer::Reply{200, pngOf(red), {}});
    server.setReply(u"/slow"_s, LoopbackHttpServer::Reply::stalling());
    sync = makeSync(ArtworkLimits{300ms});
    settings.setAutoSyncColors(true);
    player->answer({ArtworkLocation(), server.baseUrl().resolved(QUrl(u"/slow"_s)), QByteArray(4000, 'z'),
                    server.baseUrl().resolved(QUrl(u"/cover"_s))});
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
    EXPECT_EQ(server.requestsFor(u"/slow"_s).size(), 1);
}

TEST_F(Sync, JobsRunInOrderAndALateOneAppliesUnderItsOwnTrack)
{
    settings.setAutoSyncColors(true);
    player->answer({pngOf(red), pngOf(blue), pngOf(red)});
    player->gate.lock();
    sync->trackChanged(first);
    sync->refresh();  // the first job has not applied yet: a second one is queued, not dropped
    ASSERT_TRUE(waitUntil([&] { return player->asks == 1; }));
    sync->trackChanged(second);  // queued behind both
    player->gate.unlock();
    ASSERT_TRUE(logged({redLine, blueLine, redLine}));
    EXPECT_EQ(sync->appliedForTrack(), second);
    EXPECT_EQ(settings.highlightColor(), colorOf(red));

    // Stopping cuts a waiting download short, with another job queued behind it.
    LoopbackHttpServer server;
    server.setReply(u"/slow"_s, LoopbackHttpServer::Reply::stalling());
    player->answer({server.baseUrl().resolved(QUrl(u"/slow"_s))});
    sync->trackChanged(first);
    sync->refresh();
    ASSERT_TRUE(waitUntil([&] { return !server.requestsFor(u"/slow"_s).isEmpty(); }));
    QElapsedTimer stopping;
    stopping.start();
    sync.reset();
    EXPECT_LT(stopping.elapsed(), ArtworkLimits{}.downloadTimeout.count() / 10);
}

TEST_F(Sync, AColourThatArrivesAfterAutoSyncWentOffIsDropped)
{
    settings.setColor(saved, ColorSlot::highlight);
    settings.setAutoSyncColors(true);
    player->answer({pngOf(red), ArtworkLocation()});
    player->gate.lock();
    sync->trackChanged(first);
    sync->refresh();  // a second job, which finds nothing and so marks when the first is done
    ASSERT_TRUE(waitUntil([&] { return player->asks == 1; }));
    settings.setAutoSyncColors(false);
    player->gate.unlock();
    // The first job's colour was handed over before the second job logged.
    ASSERT_TRUE(logged({noArtworkLine}));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(settings.highlightColor(), saved);
    EXPECT_EQ(sync->appliedForTrack(), std::nullopt);
    EXPECT_EQ(syncLines(), QStringList{noArtworkLine});
}
}  // namespace
