// The built executable from a terminal without any display, as over SSH or from cron: what each
// command line answers, and with which exit status. None may abort for want of a display.
#include "TerminalRun.h"
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using namespace terminal_run;

struct LineCase {
    const char* name;
    QStringList arguments;
    int status;
    const char* says;  // found in standard output (status 0) or standard error
    QList<QPair<const char*, const char*>> environment{};  // set on top of a terminal's
};

class CommandLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(CommandLine, AnswersWithoutADisplay)
{
    QProcessEnvironment environment = withoutDisplay();
    environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));  // never the developer's own bus
    for (const auto& [name, value] : GetParam().environment)
        environment.insert(QString::fromLatin1(name), QString::fromUtf8(value));
    const Outcome run = runZuvik(GetParam().arguments, environment);
    EXPECT_EQ(run.status, GetParam().status) << run.err.toStdString();
    const QString& said = GetParam().status == 0 ? run.out : run.err;
    EXPECT_TRUE(said.contains(QString::fromUtf8(GetParam().says))) << said.toStdString();
}

const char* const noDisplay = "zuvik: no display to draw on — DISPLAY and WAYLAND_DISPLAY are unset\n";

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLine,
    ::testing::Values(
        LineCase{"Help", {"--help"}, 0, "Usage: "}, LineCase{"Version", {"--version"}, 0, "zuvik "},
        LineCase{"HelpWinsOverAMistake", {"--style", "comic", "-h"}, 0, "--render-frame"},
        LineCase{"UnknownOptionIsAUsageError", {"--bogus"}, 2, "zuvik: Unknown option 'bogus'"},
        LineCase{"UnknownCommand", {"frobnicate"}, 2, "unknown command"},
        LineCase{"UnknownLook", {"--style", "comic"}, 2, "--style wants"},
        LineCase{"StillWithAnAbsurdLength",
                 {"--render-frame", "x.png", "--at", "1", "--artist", "A", "--title", "T", "--duration", "1e308"},
                 2,
                 "--duration wants"},
        LineCase{"TheOverlayWithoutADisplay", {}, 1, noDisplay},
        LineCase{"TheDemoWithoutADisplay", {"--demo"}, 1, noDisplay},
        LineCase{"WaylandWithoutXWayland", {}, 1, "no X display to draw on", {{"WAYLAND_DISPLAY", "wayland-9"}}},
        LineCase{"AnXDisplayThatDoesNotAnswer", {}, 1, "cannot open the X display \":97\"", {{"DISPLAY", ":97"}}},
        LineCase{"MenuWithoutASessionBus", {"--menu"}, 1, "start Zuvik first"},
        LineCase{"LyricsHelp", {"lyrics", "--help"}, 0, "--artist"},
        LineCase{"OffsetHelp", {"offset", "--help"}, 0, "usage: zuvik offset"},
        LineCase{"OffsetWithoutARunningCopy", {"offset", "+0.5"}, 1, "zuvik offset: "}),
    [](const auto& info) { return std::string(info.param.name); });

// A still frame needs no display: it is drawn offscreen, the words opaque on a transparent ground.
TEST(StillFrameFromATerminal, IsDrawnOffscreen)
{
    QTemporaryDir folder;
    const QString picture = folder.filePath(QStringLiteral("still.png"));
    ASSERT_EQ(runZuvik({"--render-frame", picture, "--at", "7.3", "--size", "640x360"}).status, 0);
    const QImage image = QImage(picture).convertToFormat(QImage::Format_Alpha8);
    ASSERT_EQ(image.size(), QSize(640, 360));
    EXPECT_GT(
        std::count_if(image.constBits(), image.constBits() + image.sizeInBytes(), [](uchar a) { return a > 128; }),
        200);
}

}  // namespace
