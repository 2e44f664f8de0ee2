// The overlays on Xvfb with picom, monitors changed through RandR, the lock state from fake services.
#include "app/AppDelegate.h"
#include "app/DisplayIdentity.h"
#include "app/EngineFrameFeed.h"
#include "app/LyricEngine.h"
#include "overlay/WindowOverlay.h"
#include "platform/freedesktop/SessionLockState.h"
#include "platform/x11/X11OverlaySpace.h"
#include "settings/AppSettings.h"
#include "settings/JsonFileDefaultsStore.h"
#include "EventLoopWait.h"
#include "FakeFreedesktopServices.h"
#include "LogLines.h"
#include "PrivateBus.h"
#include "PrivateX11Server.h"
#include "X11Monitors.h"
#include <QRasterWindow>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace std::chrono_literals;
using namespace x11_monitors;

namespace {

TopmostWindow* windowOf(DisplayOverlay* overlay)
{
    return overlay ? &static_cast<WindowOverlay*>(overlay)->window() : nullptr;
}

quint32 idOf(const QString& monitor) { return displayIdFor({monitor, {}, {}, {}}); }

class Overlays : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(systemBus.isRunning() && sessionBus.isRunning() && services.isServing()); }

    AppDelegate& launch() { return delegate.launch(), delegate; }
    QStringList created(const LogLines& log) const
    {
        return log.newMessages().filter(QStringLiteral("overlay created"));
    }

    QTemporaryDir folder;
    JsonFileDefaultsStore store{folder.filePath(QStringLiteral("defaults.json"))};
    AppSettings settings{store};
    PrivateBus systemBus;
    PrivateBus sessionBus;
    FakeFreedesktopServices services{systemBus.address(), sessionBus.address()};
    SessionLockState lockState{systemBus.connect(QStringLiteral("system")),
                               sessionBus.connect(QStringLiteral("session"))};
    X11OverlaySpace space;
    LyricEngine engine{[](NowPlayingMonitor::Completion done) { done(std::nullopt); },
                       [](const NowPlayingTrack&) -> PendingLyrics* { return nullptr; }};
    EngineFrameFeed feed{engine, settings};
    int feedsMade = 0;
    AppDelegate delegate{settings,
                         [this](QQmlEngine& engine, QScreen& screen, FrameFeed& feed) {
                             return std::make_unique<WindowOverlay>(engine, screen, feed, space);
                         },
                         lockState,
                         [this]() -> FrameFeed& {
                             ++feedsMade;
                             return feed;
                         }};
};

TEST_F(Overlays, OneOverlayPerEnabledPluggedInDisplayShownWhenAskedAndAlwaysOverTheLockScreen)
{
    ASSERT_TRUE(splitIntoTwoMonitors());
    settings.setDisabledDisplays({idOf(left), idOf(right)});
    settings.setShowWhenUnlocked(false);
    LogLines log;
    launch();
    const auto leftShown = [this] {
        const TopmostWindow* shown = windowOf(delegate.overlayFor(idOf(left)));
        return shown && shown->isVisible() && shown->isExposed();
    };
    EXPECT_TRUE(delegate.overlayDisplays().isEmpty());
    EXPECT_EQ(feedsMade, 0);  // so no player is polled
    settings.toggleDisplay(idOf(left));
    ASSERT_TRUE(waitFor([this] { return delegate.overlayDisplays() == QList<quint32>{idOf(left)}; }));
    EXPECT_EQ(feedsMade, 1);
    EXPECT_EQ(created(log), QStringList{QStringLiteral("overlay created for display %1 (LEFT)").arg(idOf(left))});
    TopmostWindow* window = windowOf(delegate.overlayFor(idOf(left)));
    EXPECT_TRUE(QRect(0, 0, 960, 1080).contains(window->geometry()));
    EXPECT_LT(window->geometry().top(), int(0.28 * 1080));
    EXPECT_GT(window->geometry().bottom(), int(0.84 * 1080));
    EXPECT_FALSE(window->isVisible());  // made, then put away at once
    services.setScreenSaverActive(true, true);
    EXPECT_TRUE(waitFor(leftShown));
    services.setScreenSaverActive(false, true);
    EXPECT_TRUE(waitFor([&] { return !window->isVisible(); }));
    settings.setShowWhenUnlocked(true);  // takes effect at once
    EXPECT_TRUE(waitFor(leftShown));
    settings.toggleDisplay(idOf(right));
    ASSERT_TRUE(waitFor([this] { return delegate.overlayDisplays().size() == 2; }));
    ASSERT_TRUE(deleteMonitor(right));
    ASSERT_TRUE(waitFor([this] { return delegate.overlayDisplays().size() == 1; }));
    EXPECT_EQ(delegate.overlayFor(idOf(right)), nullptr);
    const LogLines replugged;
    ASSERT_TRUE(setMonitor(right, {960, 0, 960, 1080}));
    ASSERT_TRUE(waitFor([this] { return delegate.overlayDisplays().size() == 2; }));
    EXPECT_EQ(created(replugged).size(), 1);
}

class ClickTarget : public QRasterWindow {
public:
    int clicks = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++clicks; }
    void paintEvent(QPaintEvent*) override {}
};

TEST_F(Overlays, ClicksPassThroughAndANewResolutionKeepsTheWindowWhichFollowsIt)
{
    ClickTarget below;
    below.setFlags(Qt::FramelessWindowHint | Qt::BypassWindowManagerHint);
    below.setGeometry(300, 500, 200, 200);  // inside the overlay's band
    below.show();
    ASSERT_TRUE(waitFor([&below] { return below.isExposed(); }));
    TopmostWindow* overlay = windowOf(launch().overlayFor(idOf(QStringLiteral("screen"))));
    ASSERT_TRUE(overlay && waitFor([overlay] { return overlay->isExposed(); }));
    ASSERT_TRUE(overlay->geometry().contains(QPoint(400, 600)));
    ASSERT_TRUE(runX11Tool(QStringLiteral("xdotool"), {"mousemove", "400", "600", "click", "1"}).has_value());
    EXPECT_TRUE(waitFor([&below] { return below.clicks == 1; }, 5s));
    LogLines log;
    const QStringList mode{"1280x720", "74.5", "1280", "1344", "1472", "1664", "720", "723", "728", "748"};
    ASSERT_TRUE(runX11Tool(QStringLiteral("xrandr"), QStringList{QStringLiteral("--newmode")} + mode)
                && runX11Tool(QStringLiteral("xrandr"), {"--addmode", "screen", mode.first()})
                && runX11Tool(QStringLiteral("xrandr"), {"--output", "screen", "--mode", mode.first()}));
    ASSERT_TRUE(
        waitFor([overlay] { return overlay->geometry().bottom() < 720 && overlay->geometry().width() == 1280; }));
    EXPECT_EQ(windowOf(delegate.overlayFor(idOf(QStringLiteral("screen")))), overlay);
    EXPECT_TRUE(created(log).isEmpty());
}

}  // namespace
