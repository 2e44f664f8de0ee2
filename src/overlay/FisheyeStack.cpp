#include "overlay/FisheyeStack.h"

#include <algorithm>

double fittedWordSize(const QString& text, double maxWidth, double capHeight, const TextMeasurer& measurer,
                      LyricFont font)
{
    const double cap100 = std::max(usableFontMetrics(measurer, font).capHeight, 1.0);
    double size = capHeight * TextMeasurer::referenceSize / cap100;
    const double w100 = usableWordMetrics(measurer, font, text).advance;
    if (w100 > 0)
        size = std::min(size, maxWidth * TextMeasurer::referenceSize / w100);
    return size;
}

WordSizes fisheyeWordSizes(std::span<const TimedWord> words, double width, double height, const LyricType& type)
{
    using namespace fisheye_stack;
    WordSizes sizes;
    const std::size_t k = std::min<std::size_t>(words.size(), maxWords);
    const auto drawn = words.last(k);
    const double base = baseCapShareOfHeight * height * type.textScale;
    for (std::size_t i = 0; i < k; ++i) {
        const double maxWidth = maxWidthShare * width * type.textScale * widthFactors[k][i];
        sizes.append(fittedWordSize(drawn[i].text, maxWidth, base * capFactors[k][i], type.measurer, type.font));
    }
    return sizes;
}
