#include "overlay/AlphaBlur.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

// Box widths whose three passes together match a Gaussian of the given deviation.
std::array<int, 3> boxRadii(double sigma)
{
    constexpr int passes = 3;
    const double ideal = std::sqrt(12.0 * sigma * sigma / passes + 1);
    int lower = static_cast<int>(std::floor(ideal));
    if (lower % 2 == 0)
        --lower;
    const int upper = lower + 2;
    const double m = (12 * sigma * sigma - passes * lower * lower - 4 * passes * lower - 3 * passes)
                     / (-4.0 * lower - 4);
    const int lowerCount = static_cast<int>(std::lround(m));
    std::array<int, 3> radii{};
    for (int i = 0; i < passes; ++i)
        radii[static_cast<std::size_t>(i)] = ((i < lowerCount ? lower : upper) - 1) / 2;
    return radii;
}

// One running-sum box blur along a line of `count` samples `stride` apart.
void boxLine(uchar* line, int count, int stride, int radius, std::vector<int>& scratch)
{
    scratch.assign(static_cast<std::size_t>(count), 0);
    for (int i = 0; i < count; ++i)
        scratch[static_cast<std::size_t>(i)] = line[i * stride];
    const int width = 2 * radius + 1;
    int sum = 0;
    for (int i = 0; i < std::min(radius, count); ++i)
        sum += scratch[static_cast<std::size_t>(i)];
    for (int i = 0; i < count; ++i) {
        if (const int in = i + radius; in < count)
            sum += scratch[static_cast<std::size_t>(in)];
        if (const int out = i - radius - 1; out >= 0)
            sum -= scratch[static_cast<std::size_t>(out)];
        line[i * stride] = static_cast<uchar>((sum + width / 2) / width);
    }
}

}  // namespace

void blurAlpha(QImage& alpha, double sigma)
{
    if (alpha.format() != QImage::Format_Alpha8 || alpha.isNull() || !(sigma > 0.3))
        return;
    std::vector<int> scratch;
    const int width = alpha.width();
    const int height = alpha.height();
    const int stride = static_cast<int>(alpha.bytesPerLine());
    uchar* bits = alpha.bits();
    for (const int radius : boxRadii(sigma)) {
        if (radius <= 0)
            continue;
        for (int y = 0; y < height; ++y)
            boxLine(bits + y * stride, width, 1, radius, scratch);
        for (int x = 0; x < width; ++x)
            boxLine(bits + x, height, stride, radius, scratch);
    }
}
