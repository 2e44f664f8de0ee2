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

// At 7.0 s the second line has started "the city hums a": all four in Visual, the last three in
// Fisheye. Visual draws four rows, two pictograms, and the watermark of the current word "a";
// Fisheye never asks for pictograms and draws through a lens inside the band; Ship sways, so it
// keeps drawing while a line is shown.
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
    // "silver" starts at 7.23 s; once it has settled nothing moves until "song" at 8.12 s, and the
    // window stays within its reach.
    const QRect reach = window->geometry();
    EXPECT_TRUE(waitFor([band] { return !band->isAnimating(); }, 5s));
    EXPECT_TRUE(reach.contains(window->geometry()));
    play(LyricStyle::ship, 7.0, {});
    ASSERT_TRUE(waitFor([this] { return window->band()->drawnRows() >= 4; }, 5s));
    runEventLoopFor(300ms);
    EXPECT_TRUE(window->band()->isAnimating() && !window->band()->swayMatrix().isIdentity());
}

// The text scale is held to the bounds it is drawn at where the frame's settings are read.
TEST_F(Band, FrameSettingsHoldTheTextScaleToItsDrawingBounds)
{
    settings.setLyricFont(LyricFont::didot);
    settings.setColor(Color{1, 1, 0, 1}, ColorSlot::highlight);  // yellow reads with black on it
    settings.setTextScale(9.0);
    const FrameSettings values = frameSettingsFrom(settings);
    EXPECT_TRUE(values.textScale == 4.0 && values.font == LyricFont::didot && values.contrastColor == Color::black());
}

}  // namespace
