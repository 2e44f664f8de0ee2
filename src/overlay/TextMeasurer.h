#pragma once

#include "settings/SettingsEnums.h"

#include <QString>

// Vertical metrics of a lyric font at the reference size, in points.
struct FontMetrics {
    double capHeight = 0;
    double ascent = 0;  // baseline to the top of the line box
    double descent = 0;  // baseline to the bottom of the line box, positive
};

// The ink of a string relative to its origin on the baseline, y pointing up: top > bottom for
// anything visible, all zero for a string that draws nothing.
struct InkBounds {
    double left = 0;
    double bottom = 0;
    double right = 0;
    double top = 0;

    double width() const { return right - left; }
    double height() const { return top - bottom; }
};

struct WordMetrics {
    double advance = 0;  // the width the string takes in a line
    InkBounds ink;
};

// Measures lyric text in a lyric font set at `referenceSize` points; everything at other sizes
// scales linearly from there, which keeps measuring out of the per-frame work.
class TextMeasurer {
public:
    static constexpr double referenceSize = 100.0;

    virtual ~TextMeasurer() = default;
    virtual FontMetrics fontMetrics(LyricFont font) const = 0;
    virtual WordMetrics wordMetrics(LyricFont font, const QString& text) const = 0;
};

// What a measurer said, made safe to compute with: a value that is not a finite number, or a
// negative extent, counts as 0, so a broken or missing font cannot put NaN into a frame.
FontMetrics usableFontMetrics(const TextMeasurer& measurer, LyricFont font);
WordMetrics usableWordMetrics(const TextMeasurer& measurer, LyricFont font, const QString& text);

// The lyric font as the sizing uses it: which family, the measurer, and the user's text scale.
struct LyricType {
    const TextMeasurer& measurer;
    LyricFont font;
    double textScale;
};
