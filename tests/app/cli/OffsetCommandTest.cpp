// `zuvik offset …` from a terminal against a running copy playing its demo song on a private
// session bus, and the offset surviving the copy's restart.
#include "../TerminalRun.h"
#include "app/cli/OffsetCommand.h"
#include "lyrics/TrackOffsets.h"

#include "LogLines.h"
#include "ScratchMount.h"

#include <QDir>

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

// A copy playing the demo song, ready once it has followed the song's timing.
class RunningCopy {
public:
    explicit RunningCopy(const QProcessEnvironment& environment = privateBuses())
    {
        LogLines log;
        m_process.setProcessEnvironment(environment);
        m_process.start(QStringLiteral(ZUVIK_EXECUTABLE), {QStringLiteral("--demo")});
        ready = m_process.waitForStarted() && waitFor([&] {
            return log.newMessages().filter(QStringLiteral("now playing (demo)")).size() == 1;
        }, std::chrono::seconds(30));
    }
    ~RunningCopy()
    {
        m_process.terminate();
        m_process.waitForFinished(10000);
    }
    bool ready = false;

private:
    QProcess m_process;
};

struct ParseCase {
    QStringList arguments;
    std::optional<Kind> kind;  // nothing: refused
    double seconds = 0;
};

class OffsetArguments : public ::testing::TestWithParam<ParseCase> {};

TEST_P(OffsetArguments, AreReadAsAUserWritesThem)
{
    const auto parsed = parseOffsetArguments(QStringList{"zuvik", "offset"} + GetParam().arguments);
    const auto* request = std::get_if<TimingRequest>(&parsed);
    ASSERT_EQ(request != nullptr, GetParam().kind.has_value());
    if (request) {
        EXPECT_EQ(request->kind, *GetParam().kind);
        EXPECT_DOUBLE_EQ(request->seconds, GetParam().seconds);
    }
}

INSTANTIATE_TEST_SUITE_P(Terminal, OffsetArguments, ::testing::Values(
    ParseCase{{"+0.3"}, Kind::set, 0.3}, ParseCase{{QStringLiteral("\u22120.5")}, Kind::set, -0.5},
    ParseCase{{"2s"}, Kind::set, 2.0}, ParseCase{{"-30"}, Kind::set, -30.0}, ParseCase{{"30.001"}, std::nullopt},
    ParseCase{{"reset"}, Kind::reset}, ParseCase{{"show"}, Kind::show}, ParseCase{{"nan"}, std::nullopt},
    ParseCase{{"inf"}, std::nullopt}, ParseCase{{"0,3"}, std::nullopt}, ParseCase{{""}, std::nullopt},
    ParseCase{{}, std::nullopt}, ParseCase{{"1", "2"}, std::nullopt}));

class OffsetCommand : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(bus.isRunning()); }
    PrivateSessionBus bus;
};

TEST_F(OffsetCommand, SetsTheCurrentTracksOffsetWhichOutlivesTheCopy)
{
    QFile::remove(TrackOffsets::userFile());
    {
        RunningCopy copy;
        ASSERT_TRUE(copy.ready);
        EXPECT_EQ(offset(QStringLiteral("show")).out, QStringLiteral("0.0 s") + demoSong);
        LogLines log;
        const Outcome set = offset(QStringLiteral("+0.4"));
        EXPECT_EQ(set.status, 0) << set.err.toStdString();
        EXPECT_EQ(set.out, QStringLiteral("+0.4 s") + demoSong);
        EXPECT_TRUE(log.newMessages().contains(QStringLiteral("timing: offset +0.4 s") + demoSong));
    }
    RunningCopy again;
    ASSERT_TRUE(again.ready);
    EXPECT_EQ(offset(QStringLiteral("show")).out, QStringLiteral("+0.4 s") + demoSong);
    EXPECT_EQ(offset(QStringLiteral("reset")).out, QStringLiteral("0.0 s") + demoSong);
}

// An offset the copy cannot store would be gone at its next start: the command must not say "done".
TEST_F(OffsetCommand, AnOffsetTheCopyCannotStoreFails)
{
    ScratchMount data;
    if (!data.isMounted())
        GTEST_SKIP() << "a read-only folder needs a tmpfs, and mounting one needs root";
    ASSERT_TRUE(QDir().mkpath(data.path() + QStringLiteral("/Zuvik")) && data.makeReadOnly());
    QProcessEnvironment environment = privateBuses();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), data.path());
    RunningCopy copy(environment);
    ASSERT_TRUE(copy.ready);
    const Outcome set = offset(QStringLiteral("+0.4"));
    EXPECT_EQ(set.status, 1);
    EXPECT_EQ(set.err.trimmed(),
              QStringLiteral("zuvik offset: cannot write %1/Zuvik/offsets.json: Read-only file system").arg(data.path()));
}

}  // namespace
