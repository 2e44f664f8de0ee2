// `zuvik offset …` from a terminal against a running copy playing its demo song on a private
// session bus, and the offset surviving the copy's restart.
#include "app/DemoTrack.h"
#include "app/OffsetCommand.h"
#include "lyrics/TrackOffsets.h"

#include "EventLoopWait.h"
#include "LogLines.h"
#include "PrivateBus.h"
#include "ScratchMount.h"
#include "TerminalRun.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

const QString zuvik = QStringLiteral(ZUVIK_EXECUTABLE);
const QString demoSong = QStringLiteral("Zuvik — Silver Song (Zuvik Demo)");

using namespace terminal_run;

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
        m_process.start(zuvik, {QStringLiteral("--demo")});
        m_ready = m_process.waitForStarted() && waitFor([&] {
            return log.newMessages().filter(QStringLiteral("now playing (demo)")).size() == 1;
        }, 30s);
    }
    ~RunningCopy()
    {
        m_process.terminate();
        m_process.waitForFinished(10000);
    }
    bool isReady() const { return m_ready; }

private:
    QProcess m_process;
    bool m_ready = false;
};

struct ParseCase {
    QStringList arguments;
    std::optional<TimingRequest::Kind> kind;  // nothing: refused
    double seconds = 0;
};

class OffsetArguments : public ::testing::TestWithParam<ParseCase> {};

TEST_P(OffsetArguments, AreReadAsAUserWritesThem)
{
    const auto parsed = parseOffsetArguments(QStringList{QStringLiteral("zuvik"), QStringLiteral("offset")} + GetParam().arguments);
    const auto* request = std::get_if<TimingRequest>(&parsed);
    ASSERT_EQ(request != nullptr, GetParam().kind.has_value());
    if (!request)
        return;
    EXPECT_EQ(request->kind, *GetParam().kind);
    EXPECT_DOUBLE_EQ(request->seconds, GetParam().seconds);
}

using Kind = TimingRequest::Kind;
INSTANTIATE_TEST_SUITE_P(Terminal, OffsetArguments, ::testing::Values(
    ParseCase{{QStringLiteral("+0.3")}, Kind::set, 0.3},
    ParseCase{{QStringLiteral("-1.25")}, Kind::set, -1.25},
    ParseCase{{QStringLiteral("\u22120.5")}, Kind::set, -0.5},
    ParseCase{{QStringLiteral("2s")}, Kind::set, 2.0},
    ParseCase{{QStringLiteral("30")}, Kind::set, 30.0},
    ParseCase{{QStringLiteral("-30.001")}, std::nullopt},
    ParseCase{{QStringLiteral("reset")}, Kind::reset},
    ParseCase{{QStringLiteral("show")}, Kind::show},
    ParseCase{{QStringLiteral("nan")}, std::nullopt},
    ParseCase{{QStringLiteral("inf")}, std::nullopt},
    ParseCase{{QStringLiteral("0,3")}, std::nullopt},
    ParseCase{{QStringLiteral("")}, std::nullopt},
    ParseCase{{}, std::nullopt},
    ParseCase{{QStringLiteral("1"), QStringLiteral("2")}, std::nullopt}));

class OffsetCommand : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(bus.isRunning()); }
    PrivateBus bus{PrivateBus::session};
};

TEST_F(OffsetCommand, WithoutARunningCopyItSaysSoAndFails)
{
    const Outcome run = offset(QStringLiteral("show"));
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Zuvik is not running"))) << run.err.toStdString();
    EXPECT_EQ(offset(QStringLiteral("soon")).status, 2);
}

TEST_F(OffsetCommand, SetsTheCurrentTracksOffsetWhichOutlivesTheCopy)
{
    QFile::remove(TrackOffsets::userFile());
    {
        RunningCopy copy;
        ASSERT_TRUE(copy.isReady());
        EXPECT_EQ(offset(QStringLiteral("show")).out, QStringLiteral("0.0 s — ") + demoSong);
        LogLines log;
        const Outcome set = offset(QStringLiteral("+0.4"));
        EXPECT_EQ(set.status, 0) << set.err.toStdString();
        EXPECT_EQ(set.out, QStringLiteral("+0.4 s — ") + demoSong);
        EXPECT_TRUE(log.newMessages().contains(QStringLiteral("timing: offset +0.4 s — ") + demoSong));
    }
    {
        RunningCopy again;
        ASSERT_TRUE(again.isReady());
        EXPECT_EQ(offset(QStringLiteral("show")).out, QStringLiteral("+0.4 s — ") + demoSong);
        EXPECT_EQ(offset(QStringLiteral("reset")).out, QStringLiteral("0.0 s — ") + demoSong);
    }
    EXPECT_EQ(TrackOffsets(TrackOffsets::userFile()).offset(demo_track::track()), 0.0);
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
    ASSERT_TRUE(copy.isReady());
    const Outcome set = offset(QStringLiteral("+0.4"));
    EXPECT_EQ(set.status, 1);
    EXPECT_EQ(set.err.trimmed(),
              QStringLiteral("zuvik offset: cannot write %1/Zuvik/offsets.json: Read-only file system").arg(data.path()));
}

}  // namespace
