// The per-frame cost of the frame model: it runs on every displayed frame of every display.
#include "overlay/FrameModel.h"
#include "overlay/QtTextMeasurer.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

namespace {

// The real measurer needs a GUI application; offscreen, so the benchmark runs without a display.
void ensureGuiApplication()
{
    if (QGuiApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "overlay_bench";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}

// A four-minute song of 60 seven-word lines.
TimedLyrics song()
{
    const QStringList texts = {QStringLiteral("walking"), QStringLiteral("through"), QStringLiteral("the"),
                               QStringLiteral("night"),   QStringLiteral("with"),    QStringLiteral("you"),
                               QStringLiteral("again")};
    QList<TimedWord> words;
    double t = 8;
    for (int line = 0; line < 60; ++line) {
        for (int w = 0; w < 7; ++w) {
            const double duration = 0.28 + 0.03 * ((line * 7 + w * 13) % 10);
            words.append(TimedWord{texts[(line + w) % texts.size()], t, t + duration, line});
            t += duration;
        }
        t += 0.6;
    }
    return TimedLyrics(LyricTier::wordLevel, words);
}

void frameModel(benchmark::State& state, LyricStyle style)
{
    ensureGuiApplication();
    const TimedLyrics lyrics = song();
    const QtTextMeasurer measurer;
    FrameInput input;
    input.lyrics = &lyrics;
    input.settings.style = style;
    input.displaySize = {1920, 1080};
    input.measurer = &measurer;
    input.visualFor = [](const QString& word) -> std::optional<WordVisual> {
        if (word.size() <= 4)
            return std::nullopt;
        return WordVisual::symbol(QStringLiteral("heart.fill"));
    };
    // The sixth word of line 30 has started: a full five-word window.
    const TimedWord& sixth = lyrics.groups()[30][5];
    input.playhead = sixth.start + 0.01;
    double frameTime = 7.5e8;
    for (auto _ : state) {
        input.frameTime = frameTime;
        frameTime += 1.0 / 60;
        benchmark::DoNotOptimize(FrameModel::build(input));
    }
}

void shipFrame(benchmark::State& state) { frameModel(state, LyricStyle::ship); }
void visualFrame(benchmark::State& state) { frameModel(state, LyricStyle::visual); }
void fisheyeVisualFrame(benchmark::State& state) { frameModel(state, LyricStyle::fisheyeVisual); }

}  // namespace

BENCHMARK(shipFrame);
BENCHMARK(visualFrame);
BENCHMARK(fisheyeVisualFrame);
