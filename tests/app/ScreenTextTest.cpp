// What a person reads off the screen on a private X server: frames of each look drawn by the built
// executable, and the status menu under a tray host; ImageMagick prepares the picture, tesseract reads it.
#include "MenuTestSupport.h"
#include "PrivateX11Server.h"
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

// The words read in a picture, lower-cased: light text on a dark ground and dark text on light
// blocks (a chip, a glyph box, a menu) are read in two passes, after the `first` operations.
QStringList wordsIn(const QString& picture, const QStringList& first = {})
{
    QStringList words;
    for (const bool negate : {true, false}) {
        const QString prepared = picture + (negate ? QStringLiteral(".light.png") : QStringLiteral(".dark.png"));
        const QStringList convert = QStringList{picture} + first + QStringList{"-colorspace", "Gray"}
                                    + (negate ? QStringList{"-negate"} : QStringList())
                                    + QStringList{"-threshold", "50%", prepared};
        const auto text = runX11Tool(QStringLiteral("convert"), convert)
                              ? runX11Tool(QStringLiteral("tesseract"), {prepared, "stdout", "--psm", "11"}, 60000)
                              : std::nullopt;
        words += QString::fromUtf8(text.value_or(QByteArray()))
                     .toLower()
                     .split(QRegularExpression(QStringLiteral("[^a-z]+")), Qt::SkipEmptyParts);
    }
    return words;
}

// Whether a word was read, also when a pictogram beside it was read as letters stuck to it.
bool wasRead(const QStringList& words, const QString& word)
{
    return std::any_of(words.cbegin(), words.cend(), [&word](const QString& read) { return read.contains(word); });
}

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
    for (const QString& word : c.expected)
        EXPECT_TRUE(wasRead(words, word)) << word.toStdString() << " not in " << words.join(u' ').toStdString();
    for (const QString& word : c.absent)
        EXPECT_FALSE(wasRead(words, word)) << word.toStdString() << " in " << words.join(u' ').toStdString();
}

// The demo's second line, "the city hums a silver song", runs from 5.0 s to 8.8 s.
INSTANTIATE_TEST_SUITE_P(
    Looks, StillFrame,
    ::testing::Values(StillCase{"ship", 7.3, {"city", "hums", "silver"}, {"song", "night"}, "", true},
                      // The current word sits on its glyph box beside its pictogram, which tesseract reads poorly.
                      StillCase{"visual", 7.3, {"city", "hums"}, {"song"}},
                      // The software renderer warps the lens on the CPU: the words must read all the same.
                      StillCase{"fisheye", 7.3, {"silver"}, {"song", "city"}, "software"},
                      StillCase{"ship", 29.5, {}, {"sing", "tonight"}}),  // between lines
    [](const auto& info) {
        return std::string(info.param.style) + "_at_" + std::to_string(int(info.param.at * 10)) + info.param.backend
               + (info.param.fromTerminal ? "_from_a_terminal" : "");
    });

// Every look is drawn by the one process that started: a change from another terminal neither
// ends it nor hands over to a new copy.
TEST(LookChange, OneProcessDrawsEveryLookInTurn)
{
    const PrivateBus bus{PrivateBus::session};
    ASSERT_TRUE(bus.isRunning() && runZuvik({"set", "lyricStyle", "Ship"}).status == 0);
    RunningCopy app(QStringLiteral("renderer: software"));
    ASSERT_TRUE(app.ready);
    for (const char* style : {"Fisheye", "Visual", "Fisheye Visual"}) {
        EXPECT_EQ(runZuvik({"set", "lyricStyle", style}).status, 0);
        // Long enough for the running copy to read the change, and for one that quits to be gone.
        EXPECT_FALSE(app.process.waitForFinished(4000)) << "gone after the change to " << style;
    }
}

// The tray of a plain X desktop: trayer, docked at the top right, holds the status item, and the
// menu opens below it.
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
    const QString picture = folder.filePath(QStringLiteral("menu.png"));
    const QRect area(QPoint(menu.geometry().left() - 16, 0), QPoint(screen.right(), menu.geometry().bottom() + 12));
    const QString crop = QStringLiteral("%1x%2+%3+%4").arg(area.width()).arg(area.height()).arg(area.x()).arg(area.y());
    ASSERT_TRUE(runX11Tool(QStringLiteral("import"), {"-window", "root", picture}));
    const QStringList words = wordsIn(picture, {"-crop", crop, "+repage", "-resize", "200%"});
    // The headers are drawn disabled (grey), too faint to read back reliably; the items are not.
    for (const char* word : {"fisheye", "visual", "keep", "futura", "highlight", "reset", "quit", "zuvik", "updates"})
        EXPECT_TRUE(words.contains(QString::fromUtf8(word))) << word << " not in " << words.join(u' ').toStdString();
    menu.hide();
    tray.terminate();
    tray.waitForFinished(5000);
}

}  // namespace
