#include "overlay/StackSizing.h"

#include "overlay/BandGeometry.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double capShareOfHeight = 0.075;
constexpr double minWeight = 0.75;
constexpr double maxWeight = 1.55;
constexpr double maxWidthShare = 0.62;
constexpr double bandShareOfCaps = 0.8;
// A zero-length or reversed word still counts, as a very short one.
constexpr double minDuration = 0.01;

double duration(const TimedWord& word)
{
    const double d = word.end - word.start;
    return std::isfinite(d) ? std::max(d, minDuration) : minDuration;
}

}  // namespace

WordSizes stackWordSizes(std::span<const TimedWord> words, double width, double height, const LyricType& type)
{
    WordSizes sizes;
    if (words.empty())
        return sizes;

    const double capRatio = std::max(usableFontMetrics(type.measurer, type.font).capHeight, 1.0)
                            / TextMeasurer::referenceSize;
    double sum = 0;
    for (const TimedWord& word : words)
        sum += duration(word);
    const double mean = sum / static_cast<double>(words.size());

    double total = 0;
    for (const TimedWord& word : words) {
        const double weight = std::clamp(std::sqrt(duration(word) / mean), minWeight, maxWeight);
        double size = height * capShareOfHeight * weight * type.textScale / capRatio;
        const double w100 = usableWordMetrics(type.measurer, type.font, word.text).advance;
        if (w100 > 0)
            size = std::min(size, maxWidthShare * width * TextMeasurer::referenceSize / w100);
        sizes.append(size);
        total += size * capRatio;
    }

    const double limit = band::heightFactor * height * bandShareOfCaps;
    if (total > limit) {
        const double factor = limit / total;
        for (double& size : sizes)
            size *= factor;
    }
    return sizes;
}
