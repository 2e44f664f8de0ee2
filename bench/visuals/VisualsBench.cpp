// Targets: visual(word) of a memoised word under 1 µs, of a word not resolved yet under 10 µs; prefetch of a 300-word song, all new, with
// the embedding, under 2 s on one core; the loaded embedding under 80 MB of resident memory;
// loadIndexes under 500 ms.
#include "visuals/Embedding.h"
#include "visuals/SymbolSet.h"
#include "visuals/KeywordLookup.h"
#include "visuals/WordVisualResolver.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <chrono>

namespace {

const QString embeddingFile = QStringLiteral(ZUVIK_BENCH_EMBEDDING_FILE);

// The log and the memo go to a private folder, never the user's.
QTemporaryDir& privateFolder()
{
    static QTemporaryDir dir;
    static const bool fenced = [] {
        qputenv("XDG_STATE_HOME", QFile::encodeName(dir.path()));
        return true;
    }();
    (void)fenced;
    return dir;
}

struct Harness {
    explicit Harness(const QString& memo, const QString& embedding = embeddingFile)
        : resolver(WordVisualResolver::Sources{memo, symbol_set::searchIndexPath(), embedding}, KeywordLookup::shared())
    {
        QObject::connect(
            &resolver, &WordVisualResolver::prefetchFinished, &resolver, [this](qsizetype) { ++batches; },
            Qt::DirectConnection);
        while (!resolver.isLoaded())
            QThread::usleep(200);
    }
    void prefetchAndWait(const QStringList& words)
    {
        const int before = batches;
        resolver.prefetchTexts(words);
        while (batches == before)
            QThread::usleep(200);
    }
    WordVisualResolver resolver;
    std::atomic<int> batches{0};
};

// 300 different English words no table knows: every so many noun and verb lemmas of WordNet, some
// with an inflection, so each one goes through neighbours and anchors.
QStringList songOf300NewWords(int variant)
{
    QStringList words;
    static const QRegularExpression letters(QStringLiteral("^[a-z]{4,}$"));
    for (const char* pos : {"noun", "verb"}) {
        QFile index(QStringLiteral(ZUVIK_WORDNET_DIR "/index.") + QString::fromLatin1(pos));
        if (!index.open(QIODevice::ReadOnly))
            return {};
        int line = 0;
        while (!index.atEnd() && words.size() < (pos[0] == 'n' ? 200 : 300)) {
            const QString lemma = QString::fromLatin1(index.readLine().split(' ').first());
            if (!letters.match(lemma).hasMatch() || (line++ + variant) % 61 != 0)
                continue;
            const QString word = words.size() % 3 == 0 ? lemma + QStringLiteral("s") : lemma;
            if (!words.contains(word))
                words.append(word);
        }
    }
    return words;
}

qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return 0;
}

void BM_VisualMemoised(benchmark::State& state)
{
    Harness harness(privateFolder().filePath(QStringLiteral("memoised.json")));
    const QStringList words{QStringLiteral("fire"), QStringLiteral("Love!"), QStringLiteral("puppy"),
                            QStringLiteral("nothin'"), QStringLiteral("zzzz")};
    harness.prefetchAndWait(words);
    qsizetype i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(harness.resolver.visual(words[i]));
        i = (i + 1) % words.size();
    }
}
BENCHMARK(BM_VisualMemoised);

// The GUI thread's answer for words not resolved yet: tables, catalog and emoji keywords, no embedding.
void BM_VisualNotYetResolved(benchmark::State& state)
{
    Harness harness(privateFolder().filePath(QStringLiteral("quick.json")));
    const QStringList words{QStringLiteral("fire"), QStringLiteral("snowstorm"), QStringLiteral("autumn"),
                            QStringLiteral("tearful"), QStringLiteral("zzzz")};
    qsizetype i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(harness.resolver.visual(words[i]));
        i = (i + 1) % words.size();
    }
}
BENCHMARK(BM_VisualNotYetResolved);

void BM_PrefetchSong300New(benchmark::State& state)
{
    int variant = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir memoDir;
        Harness harness(memoDir.filePath(QStringLiteral("v3.json")));
        const QStringList song = songOf300NewWords(variant++);
        state.ResumeTiming();
        harness.prefetchAndWait(song);
        state.PauseTiming();
        state.counters["words"] = double(harness.resolver.memoSnapshot().size());
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PrefetchSong300New)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LoadIndexes(benchmark::State& state)
{
    for (auto _ : state) {
        QTemporaryDir memoDir;
        Harness harness(memoDir.filePath(QStringLiteral("v3.json")));
        benchmark::DoNotOptimize(harness.resolver.isLoaded());
    }
}
BENCHMARK(BM_LoadIndexes)->Unit(benchmark::kMillisecond)->Iterations(5);

// Resident memory the embedding adds: open it and resolve a 300-word song through it.
void BM_EmbeddingResidentMemory(benchmark::State& state)
{
    for (auto _ : state) {
        const qint64 before = residentKiB();
        QTemporaryDir memoDir;
        Harness harness(memoDir.filePath(QStringLiteral("v3.json")));
        harness.prefetchAndWait(songOf300NewWords(1));
        state.counters["added_MiB"] = double(residentKiB() - before) / 1024.0;
        state.counters["process_MiB"] = double(residentKiB()) / 1024.0;
    }
}
BENCHMARK(BM_EmbeddingResidentMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv)
{
    privateFolder();
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
