// Each command line from a terminal without any display, as over SSH: its answer and exit status.
#include "TerminalRun.h"
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

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLine,
    ::testing::Values(
        LineCase{"Help", {"--help"}, 0, "Usage: "}, LineCase{"Version", {"--version"}, 0, "zuvik "},
        LineCase{"HelpWinsOverAMistake", {"--style", "comic", "-h"}, 0, "--render-frame"},
        LineCase{"UnknownOptionIsAUsageError", {"--bogus"}, 2, "zuvik: Unknown option 'bogus'"},
        LineCase{"UnknownCommand", {"frobnicate"}, 2, "unknown command"},
        LineCase{"UnknownLook", {"--style", "comic"}, 2, "--style wants"},
        LineCase{"DemoWithoutADisplay", {"--demo"}, 1, "no display to draw on — DISPLAY and WAYLAND_DISPLAY"},
        LineCase{"NoCompositorAndNoX",
                 {},
                 1,
                 "no Wayland compositor answers at \"wayland-9\", and DISPLAY is unset",
                 {{"WAYLAND_DISPLAY", "wayland-9"}}},
        LineCase{
            "WaylandForcedWithoutASession", {"--overlay", "wayland"}, 1, "--overlay wayland needs a Wayland session"},
        LineCase{"OverlayOfNoKind", {"--overlay", "mir"}, 2, "--overlay wants x11 or wayland, not \"mir\""},
        LineCase{"AnXDisplayThatDoesNotAnswer", {}, 1, "cannot open the X display \":97\"", {{"DISPLAY", ":97"}}},
        LineCase{"MenuWithoutASessionBus", {"--menu"}, 1, "start Zuvik first"},
        LineCase{"SetHelp", {"set", "--help"}, 0, "  disabledDisplays\n      the displays that show no overlay"},
        LineCase{"OffsetWithoutARunningCopy", {"offset", "+0.5"}, 1, "zuvik offset: "}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
