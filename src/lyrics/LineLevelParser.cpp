#include "lyrics/LineLevelParser.h"

#include "lyrics/DocumentBudget.h"
#include "lyrics/LyricFilters.h"
#include "lyrics/LyricTime.h"
#include "lyrics/NumberReading.h"
#include "lyrics/UnicodeText.h"

#include <QStringTokenizer>

#include <algorithm>

using unicode_text::trimmed;

namespace {

struct LineEntry {
    double time;
    QStringView text;
};

// A line lasts about 1.2 s plus 0.18 s per letter, up to the next line, but never under 0.2 s.
constexpr double spanPerLetter = 0.18;
constexpr double spanBase = 1.2;
constexpr double minimumSpan = 0.2;
constexpr double lastLineRoom = 5.0;

// Real texts repeat a chorus under a handful of tags; without a cap, a hostile line with many
// tags and a long text would make the output grow with their product.
constexpr qsizetype maxTagsPerLine = 100;

// Appends one entry per readable time tag at the start of the line, as far as the budget allows.
void readLine(QStringView line, QList<LineEntry>& entries, DocumentBudget& budget)
{
    QList<double> times;
    QStringView rest = trimmed(line);
    while (rest.startsWith(u'[')) {
        const qsizetype close = rest.indexOf(u']');
        if (close < 0)
            break;
        const std::optional<double> time = readTimeTag(rest.sliced(1, close - 1));
        if (time && times.size() < maxTagsPerLine)
            times.append(*time);
        rest = rest.sliced(close + 1);
    }
    const QStringView text = trimmed(rest);
    if (text.isEmpty() || times.isEmpty() || isCreditLine(text))
        return;
    for (double time : std::as_const(times)) {
        if (!budget.takeLine())
            return;
        entries.append(LineEntry{time, text});
    }
}

// Spreads the entry's span over its space-separated words, weighted by their letters and numbers.
void appendInterpolatedWords(const LineEntry& entry, double nextStart, std::int64_t line, QList<TimedWord>& out,
                             DocumentBudget& budget)
{
    struct Piece {
        QStringView text;
        qsizetype weight;
    };
    QList<Piece> pieces;
    qsizetype total = 0;
    for (QStringView word : QStringTokenizer(entry.text, u' ', Qt::SkipEmptyParts)) {
        if (!budget.takeWord(pieces.size()))
            break;
        const qsizetype weight = std::max<qsizetype>(1, unicode_text::letterOrNumberCount(word));
        pieces.append(Piece{word, weight});
        total += weight;
    }
    const double span = std::max(minimumSpan,
                                 std::min(spanPerLetter * double(total) + spanBase, nextStart - entry.time));
    double cursor = entry.time;
    for (const Piece& piece : std::as_const(pieces)) {
        const double start = cursor;
        cursor += span * double(piece.weight) / double(total);
        out.append(TimedWord{piece.text.toString(), start, cursor, line});
    }
}

}  // namespace

std::optional<double> readTimeTag(QStringView tag)
{
    QStringView pieces[3];
    int count = 0;
    // Cut at every ":" and every "."; only the first three pieces matter.
    qsizetype pieceStart = 0;
    for (qsizetype i = 0; i <= tag.size() && count < 3; ++i) {
        if (i == tag.size() || tag[i] == u':' || tag[i] == u'.') {
            if (i > pieceStart)
                pieces[count++] = tag.sliced(pieceStart, i - pieceStart);
            pieceStart = i + 1;
        }
    }
    if (count < 2)
        return std::nullopt;
    const std::optional<double> minutes = number_reading::readDecimal(pieces[0]);
    const std::optional<double> seconds = number_reading::readDecimal(pieces[1]);
    if (!minutes || !seconds)
        return std::nullopt;
    double time = *minutes * 60.0 + *seconds;
    if (count == 3) {
        if (const std::optional<double> fraction = number_reading::readDecimal(pieces[2]))
            time += *fraction / (pieces[2].size() > 2 ? 1000.0 : 100.0);
    }
    if (!lyric_time::isPlausibleSeconds(time))
        return std::nullopt;
    return time;
}

QList<TimedWord> parseLineLevel(QStringView text)
{
    DocumentBudget budget;
    QList<LineEntry> entries;
    for (QStringView line : QStringTokenizer(text, u'\n', Qt::SkipEmptyParts))
        readLine(line, entries, budget);
    std::stable_sort(entries.begin(), entries.end(),
                     [](const LineEntry& a, const LineEntry& b) { return a.time < b.time; });

    QList<TimedWord> words;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const double nextStart = i + 1 < entries.size() ? entries[i + 1].time : entries[i].time + lastLineRoom;
        appendInterpolatedWords(entries[i], nextStart, i, words, budget);
    }
    budget.reportLeftOut();
    return cleanWords(words);
}
