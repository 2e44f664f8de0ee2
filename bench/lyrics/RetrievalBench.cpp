// Speed of the lyrics service client's own work: a lookup answered from the cache, and the search
// key every title, artist and candidate name goes through.
#include "lyrics/LyricsCache.h"
#include "lyrics/LyricsProvider.h"
#include "lyrics/SearchKey.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

namespace {

// One application object for the whole program, with the log file in a private folder.
void ensureApplication()
{
    static QTemporaryDir logFolder;
    static int argc = 1;
    static char name[] = "lyrics_retrieval_bench";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        qputenv("XDG_STATE_HOME", QFile::encodeName(logFolder.path()));
        static QCoreApplication application(argc, argv);
    }
}

// Every cache hit writes a log line; keeps thousands of them off the terminal while measuring.
class QuietStandardError {
public:
    QuietStandardError()
        : m_saved(dup(STDERR_FILENO))
    {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDERR_FILENO);
        close(null);
    }
    ~QuietStandardError()
    {
        dup2(m_saved, STDERR_FILENO);
        close(m_saved);
    }

private:
    int m_saved;
};

TimedLyrics documentOf(int words)
{
    const QStringList texts = {QStringLiteral("walking"), QStringLiteral("through"), QStringLiteral("the"),
                               QStringLiteral("night"),   QStringLiteral("with"),    QStringLiteral("you,"),
                               QStringLiteral("hold"),    QStringLiteral("on")};
    QList<TimedWord> list;
    for (int i = 0; i < words; ++i) {
        const double start = 8.0 + i * 0.45;
        list.append(TimedWord{texts[i % texts.size()], start, start + 0.4, i / 7});
    }
    return TimedLyrics(LyricTier::wordLevel, list);
}

void BM_CacheHit400Words(benchmark::State& state)
{
    ensureApplication();
    QTemporaryDir cacheFolder;
    // Nothing listens there: a miss would show up as a failure, not as a fast answer.
    LyricsProvider provider(
        {QUrl(QStringLiteral("http://127.0.0.1:1")), cacheFolder.path(), std::chrono::seconds(15), {}});
    const NowPlayingTrack track{QStringLiteral("Walking Through The Night"), QStringLiteral("Some Artist"), 241.3};
    LyricsCache(provider.cacheDirectory()).write(documentOf(400), track);

    const QuietStandardError quiet;
    qsizetype words = 0;
    for (auto _ : state) {
        bool answered = false;
        LyricsLookup* lookup = provider.lookup(track);
        QObject::connect(lookup, &LyricsLookup::finished, lookup, [&](const std::optional<TimedLyrics>& lyrics) {
            answered = true;
            words = lyrics ? lyrics->words().size() : 0;
        });
        while (!answered)
            QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    if (words != 400)
        state.SkipWithError("the lookup was not answered from the cache");
}
BENCHMARK(BM_CacheHit400Words)->Unit(benchmark::kMicrosecond);

void BM_SearchKey60Characters(benchmark::State& state, const QString& title)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(searchKey(title));
    state.SetLabel(std::to_string(title.size()) + " characters");
}
BENCHMARK_CAPTURE(BM_SearchKey60Characters, ascii,
                  QStringLiteral("Somebody That I Used To Know (feat. Kimbra) - Radio Edit 201"));
// Titles beyond ASCII also go through the width and diacritic folding.
BENCHMARK_CAPTURE(BM_SearchKey60Characters, folded,
                  QStringLiteral("Café del Mar (Remastered 2011) [Live] — Ｓｐｅｃｉａｌ Ｅｄｉｔｉｏｎ ガ 한국"));

}  // namespace
