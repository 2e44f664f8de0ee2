// Speed and allocation figures for the lyric model and parsers.
#include "lyrics/LineLevelParser.h"
#include "lyrics/TimedLyrics.h"
#include "lyrics/WordLevelParser.h"

#include "AllocationCounter.h"

#include <benchmark/benchmark.h>

#include <QStringList>

namespace {

const QStringList syllables = {QStringLiteral("walk"), QStringLiteral("ing"),   QStringLiteral("through"),
                               QStringLiteral("the"),  QStringLiteral("night"), QStringLiteral("with"),
                               QStringLiteral("you,"), QStringLiteral("hold"),  QStringLiteral("on")};

// A four-minute song in the service's word-level form: 60 lines of about 7 timed words each,
// with the two metadata lines the service puts first.
QString typicalWordLevelText()
{
    QString text = QStringLiteral("{\"t\":0,\"c\":[{\"tx\":\"作词: \"},{\"tx\":\"Someone\"}]}\n"
                                  "{\"t\":1000,\"c\":[{\"tx\":\"作曲: \"},{\"tx\":\"Someone\"}]}\n");
    qint64 ms = 8000;
    for (int line = 0; line < 60; ++line) {
        const int words = 6 + line % 3;
        QString body;
        const qint64 lineStart = ms;
        for (int w = 0; w < words; ++w) {
            const qint64 duration = 280 + (line * 7 + w * 13) % 300;
            body += QStringLiteral("(%1,%2,0)%3 ").arg(ms).arg(duration).arg(syllables[(line + w) % syllables.size()]);
            ms += duration;
        }
        text += QStringLiteral("[%1,%2]").arg(lineStart).arg(ms - lineStart) + body.trimmed() + u'\n';
        ms += 600;
    }
    return text;
}

QString typicalLineLevelText()
{
    QString text = QStringLiteral("[ar:Someone]\n[ti:Song]\n");
    for (int line = 0; line < 60; ++line) {
        const int seconds = 8 + line * 3 + line / 2;
        text += QStringLiteral("[%1:%2.%3]")
                    .arg(seconds / 60, 2, 10, QLatin1Char('0'))
                    .arg(seconds % 60, 2, 10, QLatin1Char('0'))
                    .arg(line % 100, 2, 10, QLatin1Char('0'));
        for (int w = 0; w < 7; ++w)
            text += syllables[(line + w) % syllables.size()] + u' ';
        text += u'\n';
    }
    return text;
}

TimedLyrics documentOfLines(int lines)
{
    QList<TimedWord> words;
    for (int line = 0; line < lines; ++line) {
        for (int w = 0; w < 7; ++w) {
            const double start = line * 3.0 + w * 0.35;
            words.append(TimedWord{syllables[w % syllables.size()], start, start + 0.3, line});
        }
    }
    return TimedLyrics(LyricTier::wordLevel, words);
}

void BM_ActiveGroup600Lines(benchmark::State& state)
{
    const TimedLyrics lyrics = documentOfLines(600);
    const double length = 600 * 3.0;
    double t = 0;
    const long allocationsBefore = allocationsOnThisThread();
    for (auto _ : state) {
        benchmark::DoNotOptimize(lyrics.activeGroup(t));
        t += 0.0167;  // one 60 Hz frame
        if (t > length)
            t = 0;
    }
    state.counters["allocs/call"] = benchmark::Counter(double(allocationsOnThisThread() - allocationsBefore)
                                                       / double(state.iterations()));
}
BENCHMARK(BM_ActiveGroup600Lines);

void BM_ParseWordLevelTypicalSong(benchmark::State& state)
{
    const QString text = typicalWordLevelText();
    qsizetype words = 0;
    for (auto _ : state) {
        const QList<TimedWord> parsed = parseWordLevel(text);
        words = parsed.size();
        benchmark::DoNotOptimize(parsed);
    }
    state.counters["words"] = double(words);
    state.counters["bytes"] = double(text.toUtf8().size());
}
BENCHMARK(BM_ParseWordLevelTypicalSong)->Unit(benchmark::kMicrosecond);

void BM_ParseLineLevelTypicalSong(benchmark::State& state)
{
    const QString text = typicalLineLevelText();
    qsizetype words = 0;
    for (auto _ : state) {
        const QList<TimedWord> parsed = parseLineLevel(text);
        words = parsed.size();
        benchmark::DoNotOptimize(parsed);
    }
    state.counters["words"] = double(words);
}
BENCHMARK(BM_ParseLineLevelTypicalSong)->Unit(benchmark::kMicrosecond);

// Hostile input: one 10 MB line of timing groups; the parser must stay linear.
void BM_ParseWordLevelTenMegabyteLine(benchmark::State& state)
{
    QString text = QStringLiteral("[0,1]");
    while (text.size() < 10'000'000)
        text += QStringLiteral("(1,1,0)x");
    for (auto _ : state)
        benchmark::DoNotOptimize(parseWordLevel(text));
    state.SetBytesProcessed(int64_t(state.iterations()) * text.size() * 2);
}
BENCHMARK(BM_ParseWordLevelTenMegabyteLine)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
