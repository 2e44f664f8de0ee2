// The application's wiring of the artwork colour sync, end to end: a fake MPRIS player on a
// private bus plays tracks whose covers are a file and a loopback http address, the real query,
// monitor and engine follow it, and the overlay colours follow the covers.
#include "FakePlayerProcess.h"
#include "LoopbackHttpServer.h"
#include "PrivateSessionBus.h"
#include "QtTestSupport.h"

#include "app/LyricEngine.h"
#include "platform/mpris/MprisArtworkSource.h"
#include "platform/mpris/MprisScriptHost.h"
#include "playback/PlayerQuery.h"
#include "settings/AppSettings.h"
#include "settings/ArtworkColorSync.h"
#include "settings/JsonFileDefaultsStore.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr qint64 second = 1000000;  // microseconds

QByteArray coverOf(const QColor& color)
{
    QImage picture(300, 300, QImage::Format_RGB32);
    picture.fill(color);
    QByteArray bytes;
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly);
    QImageWriter(&device, "PNG").write(picture);
    return bytes;
}

Color colorOf(const QColor& c)
{
    return Color{c.red() / 255.0, c.green() / 255.0, c.blue() / 255.0, 1.0};
}

class ArtworkOverMpris : public ::testing::Test {
protected:
    WithQtApplication app;
    PrivateSessionBus bus;
    QTemporaryDir dir;
    JsonFileDefaultsStore store{dir.filePath(QStringLiteral("defaults.json"))};
    AppSettings settings{store};
    PlayerQuery query{[] { return std::make_unique<MprisScriptHost>(); }};
    LyricEngine engine{[this](NowPlayingMonitor::Completion done) { query.run(std::move(done)); },
                       [](const NowPlayingTrack&) { return nullptr; }};
    ArtworkColorSync sync{settings, [] { return std::make_unique<MprisArtworkSource>(); }};
    LogLines log;

    void SetUp() override
    {
        // As main() wires them.
        QObject::connect(&engine, &LyricEngine::trackDelivered, &sync, &ArtworkColorSync::trackChanged);
        QObject::connect(&settings, &AppSettings::artworkRefreshRequested, &sync, &ArtworkColorSync::refresh);
    }
    void play(FakePlayerProcess& player, const QString& title, const QString& artUrl)
    {
        QVariantMap metadata = trackMetadata(title, QStringLiteral("Harbour Lights"), 200 * second);
        metadata.insert(QStringLiteral("mpris:artUrl"), artUrl);
        player.setMetadata(metadata);
        player.setStatus(QStringLiteral("Playing"));
    }
};

TEST_F(ArtworkOverMpris, EachNewTracksColoursFollowItsCover)
{
    const QColor red(210, 30, 40);
    const QColor blue(20, 70, 220);
    const QString coverPath = dir.filePath(QStringLiteral("first.png"));
    QFile cover(coverPath);
    ASSERT_TRUE(cover.open(QIODevice::WriteOnly));
    cover.write(coverOf(red));
    cover.close();
    LoopbackHttpServer server;
    server.setReply(QStringLiteral("/second.png"),
                    LoopbackHttpServer::Reply{200, coverOf(blue), {{"Content-Type", "image/png"}}});

    settings.setAutoSyncColors(true);
    FakePlayerProcess vlc(QStringLiteral("org.mpris.MediaPlayer2.vlc"));
    ASSERT_TRUE(vlc.isReady());

    play(vlc, QStringLiteral("First"), QUrl::fromLocalFile(coverPath).toString());
    ASSERT_TRUE(waitUntil([&] { return settings.highlightColor() == colorOf(red); }));
    EXPECT_EQ(sync.appliedForTrack(), (NowPlayingTrack{QStringLiteral("First"), QStringLiteral("Harbour Lights"), 200}));

    play(vlc, QStringLiteral("Second"), server.baseUrl().resolved(QUrl(QStringLiteral("/second.png"))).toString());
    ASSERT_TRUE(waitUntil([&] { return settings.highlightColor() == colorOf(blue); }));
    EXPECT_EQ(server.requestsFor(QStringLiteral("/second.png")).size(), 1);
    EXPECT_EQ(log.lines().filter(QStringLiteral("auto sync:")),
              (QStringList{QStringLiteral("auto sync: accent #D21E28FF"), QStringLiteral("auto sync: accent #1446DCFF")}));
}

}  // namespace
