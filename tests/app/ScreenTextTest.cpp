// Frames of each look and the status menu under a tray host, read back with ImageMagick and tesseract.
#include "MenuTestSupport.h"
#include "PrivateX11Server.h"
#include "ScreenWords.h"
#include "TerminalRun.h"
#include <QGuiApplication>
#include <QImage>
#include <QRegularExpression>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace std::chrono_literals;
using namespace terminal_run;

namespace {

struct StillCase {
    const char* style;
    double at;
    QStringList expected;  // on screen at that moment
    QStringList absent;  // words of other lines
    const char* backend = "";  // QT_QUICK_BACKEND, empty for the default
    bool fromTerminal = false;  // drawn without a display, as over SSH
};

class StillFrame : public ::testing::TestWithParam<StillCase> {};

TEST_P(StillFrame, ShowsTheWordsSungByThen)
{
    const StillCase& c = GetParam();
    QTemporaryDir folder;
    const QString picture = folder.filePath(QStringLiteral("frame.png"));
    QProcessEnvironment environment = c.fromTerminal ? withoutDisplay() : QProcessEnvironment::systemEnvironment();
    if (*c.backend)
        environment.insert(QStringLiteral("QT_QUICK_BACKEND"), QString::fromUtf8(c.backend));
    const Outcome run = runZuvik({"--render-frame", picture, "--at", QString::number(c.at), "--style", c.style,
                                  "--background", "#101418", "--size", "1600x900"},
                                 environment);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(QImage(picture).size(), QSize(1600, 900));
    const QStringList words = wordsIn(picture);
    const auto wasRead = [&words](const QString& word) {  // also with a pictogram read as letters stuck to it
        return std::any_of(words.cbegin(), words.cend(), [&word](const QString& read) { return read.contains(word); });
    };
    for (const QString& word : c.expected)
        EXPECT_TRUE(wasRead(word)) << word.toStdString() << " not in " << words.join(u' ').toStdString();
    for (const QString& word : c.absent)
        EXPECT_FALSE(wasRead(word)) << word.toStdString() << " in " << words.join(u' ').toStdString();
}

// The demo's second line, "the city hums a silver song", runs from 5.0 s to 8.8 s.
INSTANTIATE_TEST_SUITE_P(
    Looks, StillFrame,
    ::testing::Values(StillCase{"ship", 7.3, {"city", "hums", "silver"}, {"song", "night"}, "", true},
                      StillCase{"visual", 7.3, {"city", "hums"}, {"song"}},
                      StillCase{"fisheye", 7.3, {"silver"}, {"song", "city"}, "software"},
                      StillCase{"ship", 29.5, {}, {"sing", "tonight"}}),  // between lines
    [](const auto& info) { return std::string(info.param.style) + std::to_string(info.index); });

// A look changed from another terminal neither ends the running copy nor hands over to a new one.
TEST(LookChange, OneProcessDrawsEveryLookInTurn)
{
    const PrivateBus bus{PrivateBus::session};
    ASSERT_TRUE(bus.isRunning() && runZuvik({"set", "lyricStyle", "Ship"}).status == 0);
    RunningCopy app(QStringLiteral("renderer: software"));
    ASSERT_TRUE(app.ready);
    for (const char* style : {"Fisheye", "Visual", "Fisheye Visual"}) {
        EXPECT_EQ(runZuvik({"set", "lyricStyle", style}).status, 0);
        EXPECT_FALSE(app.process.waitForFinished(4000)) << "gone after the change to " << style;
    }
}

// trayer, docked at the top right, holds the status item; the menu opens below it.
TEST(MenuOnX11, TheMenuUnderATrayHostReadsAsItShould)
{
    MenuParts parts;
    QProcess tray;
    tray.start(QStringLiteral("trayer"),
               QStringLiteral("--edge top --align right --widthtype request --height 28 "
                              "--SetDockType true --tint 0x303030 --transparent true --alpha 0")
                   .split(u' '));
    ASSERT_TRUE(tray.waitForStarted()) << "trayer is not installed (scripts/packages.txt)";
    ASSERT_TRUE(waitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 15s));
    parts.settings.setStyle(LyricStyle::fisheyeVisual);
    parts.menu.install();
    ASSERT_TRUE(waitFor([&] { return parts.menu.trayIcon()->geometry().isValid(); }, 15s));
    EXPECT_LT(parts.menu.trayIcon()->geometry().top(), 40);  // docked in the panel at the top
    runEventLoopFor(300ms);

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QMenu& menu = parts.menu.menu();
    menu.popup(QPoint(screen.right() - menu.sizeHint().width() - 4, 32));  // below the panel, as a tray menu opens
    ASSERT_TRUE(waitFor([&] { return menu.isVisible(); }));
    runEventLoopFor(500ms);  // drawn and composited
    QTemporaryDir folder;
    const QString picture = folder.filePath(QStringLiteral("menu.png"));
    const QRect area(QPoint(menu.geometry().left() - 16, 0), QPoint(screen.right(), menu.geometry().bottom() + 12));
    const QString crop = QStringLiteral("%1x%2+%3+%4").arg(area.width()).arg(area.height()).arg(area.x()).arg(area.y());
    ASSERT_TRUE(runX11Tool(QStringLiteral("import"), {"-window", "root", picture}));
    const QStringList words = wordsIn(picture, {"-crop", crop, "+repage", "-resize", "200%"});
    for (const char* word : {"fisheye", "visual", "keep", "futura", "highlight", "reset", "quit", "zuvik", "updates"})
        EXPECT_TRUE(words.contains(QString::fromUtf8(word))) << word << " not in " << words.join(u' ').toStdString();
    menu.hide();
    tray.terminate();
    tray.waitForFinished(5000);
}

}  // namespace
