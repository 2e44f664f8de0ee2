// The status menu on a real X server (Xvfb with picom): display items for monitors made through
// RandR, their effect on the overlays, and the menu under a real tray host (trayer), read back
// from a screenshot with tesseract.
#include "MenuTestSupport.h"

#include "EventLoopWait.h"
#include "FakeFreedesktopServices.h"
#include "LogLines.h"
#include "PrivateBus.h"
#include "PrivateX11Server.h"

#include "app/DisplayIdentity.h"
#include "overlay/TopmostWindow.h"
#include "platform/freedesktop/SessionLockState.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QSystemTrayIcon>

#include "X11Monitors.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

using namespace x11_monitors;

quint32 idOfMonitor(const QString& name)
{
    return displayIdFor({name, {}, {}, {}});
}

QStringList displayItemTitles(const StatusMenu& menu)
{
    QStringList titles;
    for (const MenuItemSpec& item : menu.items()) {
        if (item.tag == status_menu::displayItemTag)
            titles.append(item.title);
    }
    return titles;
}

class MenuOnX11 : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(systemBus.isRunning() && sessionBus.isRunning());
        ASSERT_TRUE(services.isServing());
    }

    PrivateBus systemBus;
    PrivateBus sessionBus;
    FakeFreedesktopServices services{systemBus.address(), sessionBus.address()};
    SessionLockState lockState{systemBus.connect(QStringLiteral("system")), sessionBus.connect(QStringLiteral("session"))};
    MenuParts parts{lockState};
};

TEST_F(MenuOnX11, OpeningTwiceWithTwoDisplaysLeavesExactlyTwoItems)
{
    ASSERT_TRUE(splitIntoTwoMonitors());
    parts.menu.refresh();
    parts.menu.refresh();
    const QStringList titles = displayItemTitles(parts.menu);
    EXPECT_EQ(titles.size(), 2);
    EXPECT_TRUE(titles.contains(left) && titles.contains(right)) << titles.join(u',').toStdString();
    // Directly below the "Display" header.
    const QList<MenuItemSpec> items = parts.menu.items();
    const auto header = std::find_if(items.begin(), items.end(),
                                     [](const MenuItemSpec& item) { return item.tag == status_menu::displayHeaderTag; });
    ASSERT_NE(header, items.end());
    EXPECT_EQ(std::next(header)->tag, status_menu::displayItemTag);
    EXPECT_EQ(std::next(header, 2)->tag, status_menu::displayItemTag);
    EXPECT_EQ(std::next(header, 3)->kind, MenuItemKind::separator);
}

TEST_F(MenuOnX11, ChoosingADisabledDisplayEnablesItAndMakesItsOverlay)
{
    ASSERT_TRUE(splitIntoTwoMonitors());
    parts.settings.setDisabledDisplays({idOfMonitor(right)});
    parts.delegate.launch();
    ASSERT_EQ(parts.delegate.overlayDisplays(), QList<quint32>{idOfMonitor(left)});
    parts.menu.refresh();
    QAction* item = parts.action(right);
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(item->isChecked());
    EXPECT_TRUE(parts.action(left)->isChecked());

    LogLines log;
    item->trigger();
    EXPECT_FALSE(parts.settings.disabledDisplays().contains(idOfMonitor(right)));
    EXPECT_NE(parts.delegate.overlayFor(idOfMonitor(right)), nullptr);
    const QStringList lines = log.newMessages();
    EXPECT_TRUE(lines.contains(QStringLiteral("display %1 → on").arg(idOfMonitor(right))));
    EXPECT_EQ(lines.filter(QStringLiteral("overlay created")),
              QStringList{QStringLiteral("overlay created for display %1 (RIGHT)").arg(idOfMonitor(right))});

    parts.action(left)->trigger();  // and off again: its overlay goes
    EXPECT_EQ(parts.delegate.overlayDisplays(), QList<quint32>{idOfMonitor(right)});
}

TEST_F(MenuOnX11, NonLockscreenVisibilityHidesAndShowsTheOverlaysAtOnce)
{
    parts.delegate.launch();
    const quint32 id = parts.delegate.overlayDisplays().value(0);
    TopmostWindow* window = parts.delegate.overlayFor(id);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(waitFor([window] { return window->isVisible(); }));
    parts.action(QStringLiteral("Non-lockscreen Visibility"))->trigger();
    EXPECT_FALSE(window->isVisible());
    parts.action(QStringLiteral("Non-lockscreen Visibility"))->trigger();
    EXPECT_TRUE(window->isVisible());
}

// The words tesseract reads in a picture, lower-cased.
QStringList wordsIn(const QString& picture)
{
    const QString prepared = picture + QStringLiteral(".gray.png");
    if (!runX11Tool(QStringLiteral("convert"), {picture, QStringLiteral("-colorspace"), QStringLiteral("Gray"),
                                                 QStringLiteral("-resize"), QStringLiteral("200%"), prepared}))
        return {};
    const auto text = runX11Tool(QStringLiteral("tesseract"),
                                 {prepared, QStringLiteral("stdout"), QStringLiteral("--psm"), QStringLiteral("11")}, 60000);
    if (!text)
        return {};
    return QString::fromUtf8(*text).toLower().split(QRegularExpression(QStringLiteral("[^a-z]+")), Qt::SkipEmptyParts);
}

// The tray of a plain X desktop: trayer, docked at the top right, holds the status item, and the
// menu opens below it. The picture goes to $ZUVIK_SCREENSHOT_DIR/status-menu.png when that is set.
TEST_F(MenuOnX11, TheMenuUnderATrayHostReadsAsItShould)
{
    QProcess tray;
    tray.start(QStringLiteral("trayer"), {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                                          QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("request"),
                                          QStringLiteral("--height"), QStringLiteral("28"), QStringLiteral("--SetDockType"),
                                          QStringLiteral("true"), QStringLiteral("--tint"), QStringLiteral("0x303030"),
                                          QStringLiteral("--transparent"), QStringLiteral("true"), QStringLiteral("--alpha"),
                                          QStringLiteral("0")});
    ASSERT_TRUE(tray.waitForStarted()) << "trayer is not installed (scripts/packages.txt)";
    ASSERT_TRUE(waitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 15s));

    LogLines log;
    parts.settings.setStyle(LyricStyle::fisheyeVisual);
    parts.settings.setColor(Color{1.0, 0.35, 0.55, 1.0}, ColorSlot::highlight);
    parts.menu.install();
    EXPECT_TRUE(log.newMessages().filter(QStringLiteral("no system tray")).isEmpty());
    ASSERT_TRUE(waitFor([&] { return parts.menu.trayIcon()->geometry().isValid(); }, 15s));
    const QRect icon = parts.menu.trayIcon()->geometry();
    EXPECT_LT(icon.top(), 40);  // docked in the panel at the top
    runEventLoopFor(300ms);

    // Below the panel, against the right edge, as a tray menu opens.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QSize menuSize = parts.menu.menu().sizeHint();
    parts.menu.menu().popup(QPoint(screen.right() - menuSize.width() - 4, 32));
    ASSERT_TRUE(waitFor([&] { return parts.menu.menu().isVisible(); }));
    runEventLoopFor(500ms);  // drawn and composited

    QTemporaryDir folder;
    const QString picture = folder.filePath(QStringLiteral("status-menu.png"));
    ASSERT_TRUE(runX11Tool(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), picture}));
    const QRect menuArea = QRect(QPoint(parts.menu.menu().geometry().left() - 16, 0),
                                 QPoint(screen.right(), parts.menu.menu().geometry().bottom() + 12));
    const QString cropped = folder.filePath(QStringLiteral("cropped.png"));
    ASSERT_TRUE(runX11Tool(QStringLiteral("convert"),
                           {picture, QStringLiteral("-crop"),
                            QStringLiteral("%1x%2+%3+%4").arg(menuArea.width()).arg(menuArea.height()).arg(menuArea.x()).arg(menuArea.y()),
                            QStringLiteral("+repage"), cropped}));
    if (const QString keep = qEnvironmentVariable("ZUVIK_SCREENSHOT_DIR"); !keep.isEmpty()) {
        QDir().mkpath(keep);
        QFile::remove(keep + QStringLiteral("/status-menu.png"));
        QFile::copy(cropped, keep + QStringLiteral("/status-menu.png"));
    }
    const QStringList words = wordsIn(cropped);
    // The headers are drawn disabled (grey), too faint to read back reliably; the items are not.
    for (const char* word : {"fisheye", "visual", "keep", "futura", "highlight", "reset", "quit", "zuvik", "updates"})
        EXPECT_TRUE(words.contains(QString::fromUtf8(word))) << word << " not in " << words.join(u' ').toStdString();
    parts.menu.menu().hide();
    tray.terminate();
    tray.waitForFinished(5000);
}

}  // namespace
