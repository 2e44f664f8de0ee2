// Speed of reducing a cover to its accent colour: the shrink to 40 × 40 dominates, so a large
// cover costs more than a thumbnail only by the pixels the shrink reads. The target for a
// 3000 × 3000 cover is under 30 ms.
#include "settings/AccentExtractor.h"

#include <benchmark/benchmark.h>

#include <QImage>

namespace {

// A photo-like cover: smooth colour ramps with some texture, in the format a decoded JPEG has.
QImage cover(int side)
{
    QImage picture(side, side, QImage::Format_RGB32);
    for (int y = 0; y < side; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < side; ++x)
            line[x] = qRgb((x * 255) / side, (y * 255) / side, ((x ^ y) & 0x3F) + 96);
    }
    return picture;
}

void BM_ExtractAccent(benchmark::State& state)
{
    const QImage picture = cover(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(extractAccent(picture));
    state.SetLabel("side " + std::to_string(state.range(0)) + " px");
}
BENCHMARK(BM_ExtractAccent)->Arg(300)->Arg(640)->Arg(3000)->Unit(benchmark::kMillisecond);

// A cover with transparency takes Qt's premultiplying path before the shrink.
void BM_ExtractAccentWithAlpha(benchmark::State& state)
{
    const QImage picture = cover(int(state.range(0))).convertToFormat(QImage::Format_ARGB32);
    for (auto _ : state)
        benchmark::DoNotOptimize(extractAccent(picture));
}
BENCHMARK(BM_ExtractAccentWithAlpha)->Arg(3000)->Unit(benchmark::kMillisecond);

// A greyscale JPEG decodes to 8-bit grey, which is widened before the shrink.
void BM_ExtractAccentGrey(benchmark::State& state)
{
    const QImage picture = cover(int(state.range(0))).convertToFormat(QImage::Format_Grayscale8);
    for (auto _ : state)
        benchmark::DoNotOptimize(extractAccent(picture));
}
BENCHMARK(BM_ExtractAccentGrey)->Arg(3000)->Unit(benchmark::kMillisecond);

// The histogram and scoring alone, on a ready buffer.
void BM_AccentOfBuffer(benchmark::State& state)
{
    const QImage buffer = accent::accentBuffer(cover(3000));
    for (auto _ : state)
        benchmark::DoNotOptimize(accent::accentOfBuffer(buffer));
}
BENCHMARK(BM_AccentOfBuffer)->Unit(benchmark::kMicrosecond);

}  // namespace
