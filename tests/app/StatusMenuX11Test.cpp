// The status menu on a real X server (Xvfb with picom) under a real tray host (trayer), read back
// from a screenshot with tesseract.
#include "MenuTestSupport.h"
#include "EventLoopWait.h"
#include "LogLines.h"
#include "PrivateX11Server.h"
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QSystemTrayIcon>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

// The tray of a plain X desktop: trayer, docked at the top right, holds the status item, and the
// menu opens below it.
TEST(MenuOnX11, TheMenuUnderATrayHostReadsAsItShould)
{
    MenuParts parts;
    QProcess tray;
    tray.start(QStringLiteral("trayer"),
               QStringLiteral("--edge top --align right --widthtype request --height 28 --SetDockType "
                              "true --tint 0x303030 --transparent true --alpha 0")
                   .split(u' '));
    ASSERT_TRUE(tray.waitForStarted()) << "trayer is not installed (scripts/packages.txt)";
    ASSERT_TRUE(waitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 15s));
    LogLines log;
    parts.settings.setStyle(LyricStyle::fisheyeVisual);
    parts.menu.install();
    EXPECT_TRUE(log.newMessages().filter(QStringLiteral("no system tray")).isEmpty());
    ASSERT_TRUE(waitFor([&] { return parts.menu.trayIcon()->geometry().isValid(); }, 15s));
    EXPECT_LT(parts.menu.trayIcon()->geometry().top(), 40);  // docked in the panel at the top
    runEventLoopFor(300ms);

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QMenu& menu = parts.menu.menu();
    menu.popup(QPoint(screen.right() - menu.sizeHint().width() - 4, 32));  // below the panel, as a tray menu opens
    ASSERT_TRUE(waitFor([&] { return menu.isVisible(); }));
    runEventLoopFor(500ms);  // drawn and composited
    QTemporaryDir folder;
    const QString picture = folder.filePath(QStringLiteral("status-menu.png"));
    const QString prepared = folder.filePath(QStringLiteral("prepared.png"));
    ASSERT_TRUE(runX11Tool(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), picture}));
    const QRect area(QPoint(menu.geometry().left() - 16, 0), QPoint(screen.right(), menu.geometry().bottom() + 12));
    const QString crop = QStringLiteral("%1x%2+%3+%4").arg(area.width()).arg(area.height()).arg(area.x()).arg(area.y());
    ASSERT_TRUE(
        runX11Tool(QStringLiteral("convert"),
                   {picture, QStringLiteral("-crop"), crop, QStringLiteral("+repage"), QStringLiteral("-colorspace"),
                    QStringLiteral("Gray"), QStringLiteral("-resize"), QStringLiteral("200%"), prepared}));
    const auto text = runX11Tool(QStringLiteral("tesseract"),
                                 {prepared, QStringLiteral("stdout"), QStringLiteral("--psm"), QStringLiteral("11")},
                                 60000);
    ASSERT_TRUE(text);
    const QStringList words = QString::fromUtf8(*text).toLower().split(QRegularExpression(QStringLiteral("[^a-z]+")),
                                                                       Qt::SkipEmptyParts);
    // The headers are drawn disabled (grey), too faint to read back reliably; the items are not.
    for (const char* word : {"fisheye", "visual", "keep", "futura", "highlight", "reset", "quit", "zuvik", "updates"})
        EXPECT_TRUE(words.contains(QString::fromUtf8(word))) << word << " not in " << words.join(u' ').toStdString();
    menu.hide();
    tray.terminate();
    tray.waitForFinished(5000);
}

}  // namespace
