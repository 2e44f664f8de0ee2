// Speed of one MPRIS query against the fake player on a private bus, and the CPU the idle
// application uses (no players on the bus) over a minute.
#include "FakeMprisPlayer.h"
#include "PrivateBus.h"
#include "QtTestSupport.h"
#include "QuerySupport.h"

#include "platform/mpris/MprisPlayerSource.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <unistd.h>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Status, metadata and position of the one playing player: a name listing and one GetAll.
void BM_MprisQuery(benchmark::State& state)
{
    ensureQtApplication();
    PrivateBus bus{PrivateBus::session};
    FakeMprisPlayer player("org.mpris.MediaPlayer2.vlc");
    if (!player.isReady()) {
        state.SkipWithError("no fake player");
        return;
    }
    player.play("Song", "Band", 215000000, 12000000);
    MprisPlayerSource host(PlayerRoster::shared());
    std::vector<double> milliseconds;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const PlayerResult result = host.read();
        milliseconds.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        if (!std::holds_alternative<PlayerReading>(result) || !std::get<PlayerReading>(result).sample)
            state.SkipWithError("the query found no player");
    }
    state.counters["median_ms"] = median(milliseconds);
}
BENCHMARK(BM_MprisQuery)->Unit(benchmark::kMillisecond)->MinTime(2);

// The same through PlayerQuery: the hop to the query thread and back included.
void BM_PlayerQueryRun(benchmark::State& state)
{
    ensureQtApplication();
    PrivateBus bus{PrivateBus::session};
    FakeMprisPlayer player("org.mpris.MediaPlayer2.vlc");
    player.play("Song", "Band", 215000000, 12000000);
    PlayerQuery query([] { return std::make_unique<MprisPlayerSource>(PlayerRoster::shared()); });
    std::vector<double> milliseconds;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(runQuery(query));
        milliseconds.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["median_ms"] = median(milliseconds);
}
BENCHMARK(BM_PlayerQueryRun)->Unit(benchmark::kMillisecond)->MinTime(2);

// User plus system CPU time of a process, in seconds.
double cpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    // Fields after the command name, which is in parentheses and may hold spaces.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    const double ticks = fields.value(11).toDouble() + fields.value(12).toDouble();  // utime, stime
    return ticks / double(sysconf(_SC_CLK_TCK));
}

// The real application with nothing to track, measured over 60 s after a second to settle.
void BM_IdleApplicationCpu(benchmark::State& state)
{
    PrivateBus bus{PrivateBus::session};
    QTemporaryDir home;
    for (auto _ : state) {
        QProcess app;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", home.path());
        environment.insert("XDG_STATE_HOME", home.filePath("state"));
        app.setProcessEnvironment(environment);
        app.setStandardErrorFile(QProcess::nullDevice());
        app.start(ZUVIK_APP);
        if (!app.waitForStarted(15000)) {
            state.SkipWithError("zuvik did not start");
            return;
        }
        QThread::sleep(1);
        const double before = cpuSeconds(app.processId());
        const auto start = std::chrono::steady_clock::now();
        QThread::sleep(60);
        const double used = cpuSeconds(app.processId()) - before;
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        app.kill();
        app.waitForFinished(5000);
        state.counters["cpu_percent_of_one_core"] = 100.0 * used / wall;
    }
}
BENCHMARK(BM_IdleApplicationCpu)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
