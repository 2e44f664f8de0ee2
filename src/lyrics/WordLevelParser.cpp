#include "lyrics/WordLevelParser.h"

#include "lyrics/DocumentBudget.h"
#include "lyrics/LyricFilters.h"
#include "lyrics/LyricTime.h"
#include "lyrics/NumberReading.h"
#include "lyrics/UnicodeText.h"

#include <QStringTokenizer>

#include <algorithm>

using unicode_text::trimmed;

namespace {

struct TimingGroup {
    std::int64_t startMs;
    std::int64_t durationMs;
};

// "start,duration[,anything...]"; empty pieces are skipped.
std::optional<TimingGroup> readTimingGroup(QStringView inside)
{
    QStringView pieces[2];
    int count = 0;
    for (QStringView piece : QStringTokenizer(inside, u',', Qt::SkipEmptyParts)) {
        pieces[count++] = piece;
        if (count == 2)
            break;
    }
    if (count < 2)
        return std::nullopt;
    const auto start = number_reading::readInt64(pieces[0]);
    const auto duration = number_reading::readInt64(pieces[1]);
    if (!start || !duration)
        return std::nullopt;
    return TimingGroup{*start, *duration};
}

bool isPlausible(const TimingGroup& group)
{
    using lyric_time::maxMilliseconds;
    return group.startMs >= 0 && group.startMs <= maxMilliseconds && group.durationMs >= 0
           && group.durationMs <= maxMilliseconds - group.startMs;
}

// The words of one line body, in text order, as far as the budget allows.
QList<TimedWord> readLineWords(QStringView body, std::int64_t line, DocumentBudget& budget)
{
    QList<TimedWord> words;
    qsizetype open = body.indexOf(u'(');
    while (open >= 0) {
        const qsizetype close = body.indexOf(u')', open + 1);
        if (close < 0)
            break;
        const std::optional<TimingGroup> timing = readTimingGroup(body.sliced(open + 1, close - open - 1));
        if (!timing)
            break;
        const qsizetype next = body.indexOf(u'(', close + 1);
        const qsizetype textEnd = next < 0 ? body.size() : next;
        const QStringView text = trimmed(body.sliced(close + 1, textEnd - close - 1));
        if (!text.isEmpty() && isPlausible(*timing)) {
            if (!budget.takeWord(words.size()))
                break;
            words.append(TimedWord{text.toString(), double(timing->startMs) / 1000.0,
                                   double(timing->startMs + timing->durationMs) / 1000.0, line});
        }
        open = next;
    }
    return words;
}

QString joinedText(const QList<TimedWord>& words)
{
    QString joined;
    for (const TimedWord& word : words) {
        if (!joined.isEmpty())
            joined += u' ';
        joined += word.text;
    }
    return joined;
}

}  // namespace

QList<TimedWord> parseWordLevel(QStringView text)
{
    DocumentBudget budget;
    QList<TimedWord> result;
    std::int64_t line = 0;
    for (QStringView rawLine : QStringTokenizer(text, u'\n', Qt::SkipEmptyParts)) {
        const QStringView trimmedLine = trimmed(rawLine);
        const qsizetype headerEnd = trimmedLine.indexOf(u']');
        if (trimmedLine.isEmpty() || trimmedLine.startsWith(u'{') || headerEnd < 0)
            continue;
        if (!budget.takeLine())
            break;
        QList<TimedWord> words = readLineWords(trimmedLine.sliced(headerEnd + 1), line, budget);
        if (!words.isEmpty() && isCreditLine(joinedText(words)))
            continue;
        result.append(std::move(words));
        ++line;
    }
    budget.reportLeftOut();
    std::stable_sort(result.begin(), result.end(),
                     [](const TimedWord& a, const TimedWord& b) { return a.start < b.start; });
    return cleanWords(result);
}
