#pragma once
#include "lyrics/TimedLyrics.h"
#include "overlay/TextMeasurer.h"
#include <QHash>
#include <cmath>

// Exact, hand-checkable geometry: at the reference size every character is 50 wide, the cap
// height is 70 (a cap ratio of 0.7), the line box 90 above and 25 below the baseline, and the ink
// of any text lies 3 in from each side, from 5 below the baseline to 72 above it.
class FakeTextMeasurer : public TextMeasurer {
public:
    QHash<QString, double> advanceOverrides;  // a text that measures differently
    FontMetrics fontMetrics(LyricFont) const override { return {70, 90, 25}; }
    WordMetrics wordMetrics(LyricFont, const QString& text) const override
    {
        const double advance = advanceOverrides.value(text, 50.0 * static_cast<double>(text.size()));
        return advance <= 0 ? WordMetrics{advance, {}} : WordMetrics{advance, InkBounds{3, -5, advance - 3, 72}};
    }
};

// A font that is not there (nothing has any extent), or a broken one answering with NaN and infinities.
struct OddFontMeasurer : TextMeasurer {
    bool broken = false;
    FontMetrics fontMetrics(LyricFont) const override
    {
        return broken ? FontMetrics{NAN, INFINITY, -1} : FontMetrics{};
    }
    WordMetrics wordMetrics(LyricFont, const QString&) const override
    {
        return broken ? WordMetrics{NAN, {NAN, 0, INFINITY, NAN}} : WordMetrics{};
    }
};

inline TimedWord timedWord(QString text, double start, double end, qint64 line = 0) { return {text, start, end, line}; }
inline TimedLyrics lyricsOf(const QList<TimedWord>& words) { return TimedLyrics(LyricTier::wordLevel, words); }

// One line (number 3) of `count` one-second words "w0", "w1", ... from 10 s.
inline TimedLyrics evenLine(int count)
{
    QList<TimedWord> words;
    for (int i = 0; i < count; ++i)
        words.append(timedWord(QStringLiteral("w%1").arg(i), 10.0 + i, 11.0 + i, 3));
    return lyricsOf(words);
}
