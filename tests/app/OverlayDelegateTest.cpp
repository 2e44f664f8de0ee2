// The overlays on a real X server (Xvfb with picom), with monitors made and removed through
// RandR, the lock state served by fake logind and ScreenSaver services on private buses, and
// clicks sent through XTest.
#include "app/AppDelegate.h"
#include "app/DemoTrack.h"
#include "lyrics/PendingLyrics.h"
#include "app/DisplayIdentity.h"
#include "app/EngineFrameFeed.h"
#include "app/LyricEngine.h"
#include "overlay/TopmostWindow.h"
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

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QMouseEvent>
#include <QRasterWindow>
#include <QScreen>
#include <QTemporaryDir>

using namespace std::chrono_literals;

namespace {

using namespace x11_monitors;

quint32 idOfMonitor(const QString& name)
{
    return displayIdFor({name, {}, {}, {}});
}

// A new resolution for the server's output, as a monitor's mode change gives.
bool switchOutputTo1280x720()
{
    const QStringList mode{QStringLiteral("1280x720"), QStringLiteral("74.5"), QStringLiteral("1280"),
                           QStringLiteral("1344"), QStringLiteral("1472"), QStringLiteral("1664"),
                           QStringLiteral("720"), QStringLiteral("723"), QStringLiteral("728"), QStringLiteral("748")};
    const QString xrandr = QStringLiteral("xrandr");
    return runX11Tool(xrandr, QStringList{QStringLiteral("--newmode")} + mode)
           && runX11Tool(xrandr, {QStringLiteral("--addmode"), QStringLiteral("screen"), mode.first()})
           && runX11Tool(xrandr, {QStringLiteral("--output"), QStringLiteral("screen"), QStringLiteral("--mode"),
                                  mode.first()});
}

class Overlays : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(systemBus.isRunning() && sessionBus.isRunning());
        ASSERT_TRUE(services.isServing());
    }

    AppDelegate& delegate()
    {
        if (!m_delegate) {
            m_delegate = std::make_unique<AppDelegate>(settings, space, lockState, [this]() -> FrameFeed& {
                ++feedsMade;
                return feed;
            });
        }
        return *m_delegate;
    }

    bool isShown(quint32 id) const
    {
        const TopmostWindow* window = m_delegate ? m_delegate->overlayFor(id) : nullptr;
        return window && window->isVisible() && window->isExposed();
    }

    void TearDown() override { m_delegate.reset(); }

    QTemporaryDir folder;
    JsonFileDefaultsStore store{folder.filePath(QStringLiteral("defaults.json"))};
    AppSettings settings{store};
    PrivateBus systemBus;
    PrivateBus sessionBus;
    FakeFreedesktopServices services{systemBus.address(), sessionBus.address()};
    SessionLockState lockState{systemBus.connect(QStringLiteral("system")), sessionBus.connect(QStringLiteral("session"))};
    X11OverlaySpace space;
    LyricEngine engine{[](NowPlayingMonitor::Completion done) { done(std::nullopt); },
                       [](const NowPlayingTrack&) -> PendingLyrics* { return nullptr; }};
    EngineFrameFeed feed{engine, settings};
    int feedsMade = 0;

private:
    std::unique_ptr<AppDelegate> m_delegate;
};

TEST_F(Overlays, OneOverlayPerEnabledDisplayEachLoggedOnce)
{
    ASSERT_TRUE(splitIntoTwoMonitors());
    settings.setDisabledDisplays({idOfMonitor(right)});
    LogLines log;
    delegate().launch();
    EXPECT_EQ(delegate().overlayDisplays(), QList<quint32>{idOfMonitor(left)});
    const QString created = QStringLiteral("overlay created for display %1 (LEFT)").arg(idOfMonitor(left));
    EXPECT_EQ(log.newMessages().filter(QStringLiteral("overlay created")), QStringList{created});

    // The window covers the band's reach on its own monitor, never the other one.
    const QRect geometry = delegate().overlayFor(idOfMonitor(left))->geometry();
    EXPECT_TRUE(QRect(0, 0, 960, 1080).contains(geometry));
    EXPECT_LT(geometry.top(), static_cast<int>(0.28 * 1080));
    EXPECT_GT(geometry.bottom(), static_cast<int>(0.84 * 1080));
    EXPECT_TRUE(waitFor([this] { return isShown(idOfMonitor(left)); }));
}

TEST_F(Overlays, UnpluggingRemovesTheOverlayAndPluggingBackMakesAFreshOne)
{
    ASSERT_TRUE(splitIntoTwoMonitors());
    delegate().launch();
    ASSERT_EQ(delegate().overlayDisplays().size(), 2);
    ASSERT_TRUE(deleteMonitor(right));
    ASSERT_TRUE(waitFor([this] { return delegate().overlayDisplays().size() == 1; }));
    EXPECT_EQ(delegate().overlayFor(idOfMonitor(right)), nullptr);

    LogLines log;
    ASSERT_TRUE(setMonitor(right, {960, 0, 960, 1080}));
    ASSERT_TRUE(waitFor([this] { return delegate().overlayDisplays().size() == 2; }));
    EXPECT_EQ(log.newMessages().filter(QStringLiteral("overlay created")).size(), 1);
}

TEST_F(Overlays, ADisplayThatChangesResolutionKeepsItsWindowWhichFollowsIt)
{
    delegate().launch();
    const quint32 id = idOfMonitor(QStringLiteral("screen"));
    TopmostWindow* before = delegate().overlayFor(id);
    ASSERT_NE(before, nullptr);
    LogLines log;
    ASSERT_TRUE(switchOutputTo1280x720());
    ASSERT_TRUE(waitFor([before] { return before->geometry().bottom() < 720 && before->geometry().width() == 1280; }));
    EXPECT_EQ(delegate().overlayFor(id), before);
    EXPECT_TRUE(log.newMessages().filter(QStringLiteral("overlay created")).isEmpty());
}

TEST_F(Overlays, HiddenOnTheDesktopWhenAskedButAlwaysShownOverTheLockScreen)
{
    settings.setShowWhenUnlocked(false);
    delegate().launch();
    const quint32 id = idOfMonitor(QStringLiteral("screen"));
    ASSERT_NE(delegate().overlayFor(id), nullptr);  // made, then put away at once
    EXPECT_FALSE(delegate().overlayFor(id)->isVisible());

    services.setScreenSaverActive(true, true);
    EXPECT_TRUE(waitFor([&] { return isShown(id); }));
    services.setScreenSaverActive(false, true);
    EXPECT_TRUE(waitFor([&] { return !delegate().overlayFor(id)->isVisible(); }));

    settings.setShowWhenUnlocked(true);  // takes effect at once
    EXPECT_TRUE(waitFor([&] { return isShown(id); }));
}

TEST_F(Overlays, WithEveryDisplaySwitchedOffNothingIsMadeUntilOneIsSwitchedOn)
{
    ASSERT_TRUE(splitIntoTwoMonitors());
    settings.setDisabledDisplays({idOfMonitor(left), idOfMonitor(right)});
    LogLines log;
    delegate().launch();
    EXPECT_TRUE(delegate().overlayDisplays().isEmpty());
    EXPECT_EQ(feedsMade, 0);  // so no player is polled
    EXPECT_TRUE(log.newMessages().filter(QStringLiteral("overlay created")).isEmpty());

    settings.toggleDisplay(idOfMonitor(right));
    EXPECT_TRUE(waitFor([this] { return delegate().overlayDisplays() == QList<quint32>{idOfMonitor(right)}; }));
    EXPECT_EQ(feedsMade, 1);
}

// A plain window that counts the clicks it gets.
class ClickTarget : public QRasterWindow {
public:
    int clicks = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++clicks; }
    void paintEvent(QPaintEvent*) override {}
};

TEST_F(Overlays, ClicksPassThroughTheOverlayToTheWindowBelowAndTheOverlayStaysOnTop)
{
    ClickTarget below;
    below.setFlags(Qt::FramelessWindowHint | Qt::BypassWindowManagerHint);
    below.setGeometry(300, 500, 200, 200);  // inside the left overlay's band
    below.show();
    ASSERT_TRUE(waitFor([&below] { return below.isExposed(); }));
    delegate().launch();
    TopmostWindow* overlay = delegate().overlayFor(idOfMonitor(QStringLiteral("screen")));
    ASSERT_NE(overlay, nullptr);
    ASSERT_TRUE(waitFor([overlay] { return overlay->isExposed(); }));
    ASSERT_TRUE(overlay->geometry().contains(QPoint(400, 600)));

    // Stacked above the window below: xwininfo lists the root's children bottom first.
    const auto tree = runX11Tool(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-children")});
    ASSERT_TRUE(tree.has_value());
    const auto hex = [](WId id) { return QByteArray("0x") + QByteArray::number(static_cast<qulonglong>(id), 16); };
    const qsizetype belowAt = tree->indexOf(hex(below.winId()) + ' ');
    const qsizetype overlayAt = tree->indexOf(hex(overlay->winId()) + ' ');
    ASSERT_GE(belowAt, 0);
    ASSERT_GE(overlayAt, 0);
    EXPECT_LT(overlayAt, belowAt);  // listed first: xwininfo prints the topmost child first

    ASSERT_TRUE(runX11Tool(QStringLiteral("xdotool"),
                           {QStringLiteral("mousemove"), QStringLiteral("400"), QStringLiteral("600"),
                            QStringLiteral("click"), QStringLiteral("1")})
                    .has_value());
    EXPECT_TRUE(waitFor([&below] { return below.clicks == 1; }, 5s));
}

}  // namespace

namespace {

// The demo song playing on displays of every size, down to a single point.
TEST(OverlaySizes, TinyDisplaysDrawTheSongWithoutCrashingAndStayWithinTheirReach)
{
    ASSERT_TRUE(setMonitor(left, {0, 0, 1, 1}, QStringLiteral("screen")));
    ASSERT_TRUE(setMonitor(right, {1, 0, 40, 30}));
    ASSERT_TRUE(waitFor([] { return screensAre({left, right}); }));

    QTemporaryDir folder;
    JsonFileDefaultsStore store{folder.filePath(QStringLiteral("defaults.json"))};
    AppSettings settings{store};
    PrivateBus systemBus;
    PrivateBus sessionBus;
    SessionLockState lockState{systemBus.connect(QStringLiteral("system")), sessionBus.connect(QStringLiteral("session"))};
    X11OverlaySpace space;
    QObject answers;
    LyricEngine engine{demo_track::playerQuery(QDateTime::currentDateTimeUtc().addSecs(-5), &QDateTime::currentDateTimeUtc),
                       [&answers](const NowPlayingTrack&) -> PendingLyrics* {
                           return new ReadyLyrics(demo_track::lyrics(), &answers);
                       }};
    EngineFrameFeed feed{engine, settings};
    AppDelegate delegate(settings, space, lockState, [&feed]() -> FrameFeed& { return feed; });
    delegate.launch();
    ASSERT_EQ(delegate.overlayDisplays().size(), 2);
    ASSERT_TRUE(waitFor([&engine] { return engine.lyrics().has_value(); }));
    runEventLoopFor(1500ms);  // the song's second line, drawn frame after frame
    for (const quint32 id : delegate.overlayDisplays()) {
        const TopmostWindow* window = delegate.overlayFor(id);
        EXPECT_TRUE(QRect(0, 0, 41, 30).contains(window->geometry()));
        EXPECT_GE(window->geometry().width(), 1);
    }
}

}  // namespace
