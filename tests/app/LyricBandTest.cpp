// One overlay window drawing the demo song on a private X server, with a pictogram lookup of its own.
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
    // The demo song `position` seconds in, in `style`; words in `pictured` have a pictogram.
    void play(LyricStyle style, double position, QStringList pictured)
    {
        registerOverlayTypes();
        window.reset();
        feed.reset();
        engine = std::make_unique<LyricEngine>(
            demo_track::playerQuery(QDateTime::currentDateTimeUtc().addMSecs(-static_cast<qint64>(position * 1000)),
                                    &QDateTime::currentDateTimeUtc),
            [this](const NowPlayingTrack&) -> PendingLyrics* {
                return new ReadyLyrics(demo_track::lyrics(), &answers);
            });
        feed = std::make_unique<EngineFrameFeed>(*engine, settings);
        feed->overrideStyle(style);
        feed->setVisuals([this, pictured](const QString& word) -> std::optional<WordVisual> {
            ++lookups;
            return pictured.contains(word) ? std::optional(WordVisual::symbol(QStringLiteral("heart.fill")))
                                           : std::nullopt;
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

// At 7.0 s "the city hums a" is sung: Visual draws four rows, two pictograms and the watermark of "a";
// Fisheye three rows through a lens, with no pictograms; Ship keeps swaying while a line is shown.
TEST_F(Band, EachLookDrawsItsRowsPictogramsAndLens)
{
    play(LyricStyle::visual, 7.0, {QStringLiteral("city"), QStringLiteral("a")});
    ASSERT_TRUE(waitFor([this] { return window->band()->drawnRows() == 4 + 2 + 1; }, 5s))
        << window->band()->drawnRows();
    EXPECT_FALSE(window->band()->lensEnabled());
    lookups = 0;
    play(LyricStyle::fisheye, 7.0, {QStringLiteral("city"), QStringLiteral("hums"), QStringLiteral("a")});
    LyricBand* band = window->band();
    ASSERT_TRUE(waitFor([band] { return band->drawnRows() == 3; }, 5s)) << band->drawnRows();
    EXPECT_EQ(lookups, 0);
    EXPECT_TRUE(!band->lensRect().isEmpty()
                && QRectF(QPointF(0, 0), band->bandRect().size()).contains(band->lensRect()));
    // "silver" starts at 7.23 s; it settles before "song" at 8.12 s, within the window's reach.
    const QRect reach = window->geometry();
    EXPECT_TRUE(waitFor([band] { return !band->isAnimating(); }, 5s));
    EXPECT_TRUE(reach.contains(window->geometry()));
    play(LyricStyle::ship, 7.0, {});
    ASSERT_TRUE(waitFor([this] { return window->band()->drawnRows() >= 4; }, 5s));
    runEventLoopFor(300ms);
    EXPECT_TRUE(window->band()->isAnimating() && !window->band()->swayMatrix().isIdentity());
}

}  // namespace
