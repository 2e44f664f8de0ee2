// One overlay window drawing the demo song on a private X server, with a pictogram lookup of the
// test's own: which pictures the band places, and when it asks for them.
#include "app/DemoTrack.h"
#include "app/EngineFrameFeed.h"
#include "app/LyricEngine.h"
#include "lyrics/PendingLyrics.h"
#include "overlay/LyricBand.h"
#include "overlay/OverlayTypes.h"
#include "overlay/TopmostWindow.h"
#include "settings/AppSettings.h"
#include "settings/JsonFileDefaultsStore.h"

#include "EventLoopWait.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QQmlEngine>
#include <QTemporaryDir>

using namespace std::chrono_literals;

namespace {

class Band : public ::testing::Test {
protected:
    void SetUp() override { registerOverlayTypes(); }

    // The demo song `position` seconds in, in `style`; words in `pictured` have a pictogram.
    void play(LyricStyle style, double position, QStringList pictured)
    {
        engine = std::make_unique<LyricEngine>(
            demo_track::playerQuery(QDateTime::currentDateTimeUtc().addMSecs(-static_cast<qint64>(position * 1000)),
                                    &QDateTime::currentDateTimeUtc),
            [this](const NowPlayingTrack&) -> PendingLyrics* { return new ReadyLyrics(demo_track::lyrics(), &answers); });
        feed = std::make_unique<EngineFrameFeed>(*engine, settings);
        feed->overrideStyle(style);
        feed->setVisuals([this, pictured](const QString& word) -> std::optional<WordVisual> {
            ++lookups;
            if (!pictured.contains(word))
                return std::nullopt;
            return WordVisual::symbol(QStringLiteral("heart.fill"));
        });
        window = std::make_unique<TopmostWindow>(qml, *QGuiApplication::primaryScreen(), *feed);
        window->show();
        ASSERT_TRUE(waitFor([this] { return engine->lyrics().has_value() && window->isExposed(); }));
    }

    QTemporaryDir folder;
    JsonFileDefaultsStore store{folder.filePath(QStringLiteral("defaults.json"))};
    AppSettings settings{store};
    QObject answers;
    QQmlEngine qml;
    std::unique_ptr<LyricEngine> engine;
    std::unique_ptr<EngineFrameFeed> feed;
    std::unique_ptr<TopmostWindow> window;
    int lookups = 0;
};

// At 7.0 s the second line has started "the city hums a": all four in Ship and Visual, the last
// three in the fisheye looks.
TEST_F(Band, VisualRowsCarryTheirPictogramsAndTheCurrentWordItsWatermark)
{
    play(LyricStyle::visual, 7.0, {QStringLiteral("city"), QStringLiteral("a")});
    LyricBand* band = window->band();
    ASSERT_NE(band, nullptr);
    // Four rows, two pictograms, and the watermark of the current word "a".
    ASSERT_TRUE(waitFor([band] { return band->drawnRows() == 4 + 2 + 1; }, 5s)) << band->drawnRows();
    EXPECT_GT(lookups, 0);
}

TEST_F(Band, TheFisheyeLookNeverAsksForPictograms)
{
    play(LyricStyle::fisheye, 7.0, {QStringLiteral("city"), QStringLiteral("hums"), QStringLiteral("a")});
    LyricBand* band = window->band();
    ASSERT_TRUE(waitFor([band] { return band->drawnRows() == 3; }, 5s)) << band->drawnRows();
    EXPECT_EQ(lookups, 0);
    EXPECT_TRUE(band->lensEnabled());
    EXPECT_FALSE(band->lensRect().isEmpty());
    // The lens shows the band only.
    EXPECT_TRUE(QRectF(QPointF(0, 0), band->bandRect().size()).contains(band->lensRect()));
}

TEST_F(Band, AStillLineStopsDrawingAndTheWindowShrinksToIt)
{
    play(LyricStyle::fisheye, 7.0, {});  // no sway in the fisheye looks
    LyricBand* band = window->band();
    const QRect reach = window->geometry();
    // "silver" starts at 7.23 s; once it has settled nothing moves until "song" at 8.12 s.
    EXPECT_TRUE(waitFor([band] { return !band->isAnimating(); }, 5s));
    EXPECT_LE(window->geometry().width(), reach.width());
    EXPECT_TRUE(reach.contains(window->geometry()));
}

TEST_F(Band, ShipSwaysSoItKeepsDrawingWhileALineIsShown)
{
    play(LyricStyle::ship, 7.0, {});
    LyricBand* band = window->band();
    ASSERT_TRUE(waitFor([band] { return band->drawnRows() >= 4; }, 5s));
    runEventLoopFor(300ms);
    EXPECT_TRUE(band->isAnimating());
    EXPECT_FALSE(band->swayMatrix().isIdentity());
}

}  // namespace
