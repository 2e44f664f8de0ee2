// `zuvik offset …` against a running copy of the demo song on a private session bus.
#include "../TerminalRun.h"
#include "app/cli/OffsetCommand.h"
#include "ScratchMount.h"
#include <gtest/gtest.h>

namespace {

using namespace terminal_run;
using Kind = TimingRequest::Kind;

const QString demoSong = QStringLiteral(" — Zuvik — Silver Song (Zuvik Demo)");

Outcome offset(const QString& argument)
{
    Outcome outcome = runZuvik({QStringLiteral("offset"), argument});
    outcome.out = outcome.out.trimmed();
    return outcome;
}

TEST(OffsetArguments, AreReadAsAUserWritesThem)
{
    const std::tuple<QStringList, std::optional<Kind>, double> cases[] = {
        {{"+0.3"}, Kind::set, 0.3},    {{QStringLiteral("\u22120.5")}, Kind::set, -0.5},
        {{"2s"}, Kind::set, 2.0},      {{"-30"}, Kind::set, -30.0},
        {{"30.001"}, std::nullopt, 0}, {{"reset"}, Kind::reset, 0},
        {{"show"}, Kind::show, 0},     {{"nan"}, std::nullopt, 0},
        {{"inf"}, std::nullopt, 0},    {{"0,3"}, std::nullopt, 0},
        {{""}, std::nullopt, 0},       {{}, std::nullopt, 0},
        {{"1", "2"}, std::nullopt, 0}};
    for (const auto& [arguments, kind, seconds] : cases) {
        const auto parsed = parseOffsetArguments(QStringList{"zuvik", "offset"} + arguments);
        const auto* request = std::get_if<TimingRequest>(&parsed);
        ASSERT_EQ(request != nullptr, kind.has_value()) << arguments.join(u' ').toStdString();
        if (request)
            EXPECT_TRUE(request->kind == *kind && request->seconds == seconds) << arguments.join(u' ').toStdString();
    }
}

// An offset the copy cannot store would be gone at its next start: the command must not say done.
TEST(OffsetCommand, SetsTheCurrentTracksOffsetWhichOutlivesTheCopyOrSaysItCannotBeStored)
{
    const PrivateBus bus{PrivateBus::session};
    ScratchMount data;
    ASSERT_TRUE(bus.isRunning());
    if (!data.isMounted())
        GTEST_SKIP() << "a read-only folder needs a tmpfs, and mounting one needs root";
    QProcessEnvironment environment = privateBuses();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), data.path());
    const Outcome alone = runZuvik({"--menu"});
    EXPECT_TRUE(alone.status == 1 && alone.err.contains("Zuvik is not running")) << alone.err.toStdString();
    {
        RunningCopy copy({}, environment);
        ASSERT_TRUE(copy.ready);
        EXPECT_EQ(offset(QStringLiteral("show")).out, QStringLiteral("0.0 s") + demoSong);
        LogLines log;
        EXPECT_EQ(runZuvik({"--menu"}).status, 0);
        EXPECT_TRUE(runZuvik({"lyrics", "--reject"}).err.contains("the demo's lyrics have no other match"));
        const Outcome set = offset(QStringLiteral("+0.4"));
        EXPECT_EQ(set.status, 0) << set.err.toStdString();
        EXPECT_EQ(set.out, QStringLiteral("+0.4 s") + demoSong);
        const QStringList lines = log.newMessages();
        EXPECT_TRUE(lines.contains(QStringLiteral("status menu: opened for zuvik --menu"))
                    && lines.contains(QStringLiteral("timing: offset +0.4 s") + demoSong))
            << lines.join(u'\n').toStdString();
        EXPECT_EQ(copy.process.state(), QProcess::Running);
    }
    RunningCopy again({}, environment);
    ASSERT_TRUE(again.ready);
    EXPECT_EQ(offset(QStringLiteral("show")).out, QStringLiteral("+0.4 s") + demoSong);
    EXPECT_EQ(offset(QStringLiteral("reset")).out, QStringLiteral("0.0 s") + demoSong);
    ASSERT_TRUE(data.makeReadOnly());
    const Outcome set = offset(QStringLiteral("-0.2"));
    EXPECT_EQ(set.status, 1);
    EXPECT_EQ(
        set.err.trimmed(),
        QStringLiteral("zuvik offset: cannot write %1/Zuvik/offsets.json: Read-only file system").arg(data.path()));
}

}  // namespace
