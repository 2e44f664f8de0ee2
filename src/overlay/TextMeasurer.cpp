#include "overlay/TextMeasurer.h"

#include <cmath>

namespace {

double finiteOrZero(double value) { return std::isfinite(value) ? value : 0.0; }

double extent(double value) { return value > 0 && std::isfinite(value) ? value : 0.0; }

}  // namespace

FontMetrics usableFontMetrics(const TextMeasurer& measurer, LyricFont font)
{
    const FontMetrics m = measurer.fontMetrics(font);
    return {extent(m.capHeight), extent(m.ascent), extent(m.descent)};
}

WordMetrics usableWordMetrics(const TextMeasurer& measurer, LyricFont font, const QString& text)
{
    const WordMetrics m = measurer.wordMetrics(font, text);
    InkBounds ink{finiteOrZero(m.ink.left), finiteOrZero(m.ink.bottom), finiteOrZero(m.ink.right),
                  finiteOrZero(m.ink.top)};
    if (ink.right < ink.left || ink.top < ink.bottom)
        ink = {};
    return {extent(m.advance), ink};
}
