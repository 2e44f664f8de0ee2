#include "lyrics/LocalLyricsParser.h"

#include "lyrics/DocumentBudget.h"
#include "lyrics/LineLevelParser.h"
#include "lyrics/LyricFilters.h"
#include "lyrics/LyricTime.h"
#include "lyrics/NumberReading.h"
#include "lyrics/UnicodeText.h"

#include <QStringDecoder>
#include <QStringTokenizer>

#include <algorithm>

using unicode_text::trimmed;

namespace {

// The last word of a line, with nothing after it to end it, lasts at most this long.
constexpr double lastWordRoom = 2.0;
// Same cap as the line-level reader: a hostile line cannot multiply its text by many tags.
constexpr qsizetype maxTagsPerLine = 100;

struct TaggedWord {
    double start;
    QString text;
};

struct TaggedLine {
    double start;
    QList<TaggedWord> words;
};

// The text between the line's time tags and its words: "[00:01.00][00:30.00]<...>words", as far
// as the budget allows.
std::optional<TaggedLine> readTaggedLine(QStringView line, QList<double>& lineTimes, DocumentBudget& budget)
{
    QStringView rest = trimmed(line);
    lineTimes.clear();
    while (rest.startsWith(u'[')) {
        const qsizetype close = rest.indexOf(u']');
        if (close < 0)
            break;
        if (const std::optional<double> time = readTimeTag(rest.sliced(1, close - 1));
            time && lineTimes.size() < maxTagsPerLine)
            lineTimes.append(*time);
        rest = rest.sliced(close + 1);
    }
    if (lineTimes.isEmpty() || !budget.takeLine())
        return std::nullopt;
    TaggedLine tagged{lineTimes.front(), {}};
    // Text before the first word tag starts with the line.
    std::optional<double> wordStart = tagged.start;
    QString pending;
    auto flush = [&] {
        const QString text = trimmed(pending).toString();
        if (wordStart && !text.isEmpty()) {
            for (QStringView piece : QStringTokenizer(text, u' ', Qt::SkipEmptyParts)) {
                if (!budget.takeWord(tagged.words.size()))
                    break;
                tagged.words.append(TaggedWord{*wordStart, piece.toString()});
            }
        }
        pending.clear();
    };
    while (!rest.isEmpty()) {
        const qsizetype open = rest.indexOf(u'<');
        const qsizetype close = open < 0 ? -1 : rest.indexOf(u'>', open + 1);
        const std::optional<double> time = close < 0 ? std::nullopt
                                                     : readTimeTag(rest.sliced(open + 1, close - open - 1));
        if (!time) {
            // No (further) readable tag: the rest belongs to the word in progress.
            pending += rest.first(close < 0 ? rest.size() : close + 1);
            rest = close < 0 ? QStringView() : rest.sliced(close + 1);
            continue;
        }
        pending += rest.first(open);
        flush();
        wordStart = *time;
        rest = rest.sliced(close + 1);
    }
    flush();
    return tagged;
}

void shiftTimes(QList<TimedWord>& words, double seconds)
{
    for (TimedWord& word : words) {
        word.start = std::max(0.0, word.start + seconds);
        word.end = std::max(word.start, word.end + seconds);
    }
}

}  // namespace

QString decodeLyricFile(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError()) {
        QStringDecoder local(QStringDecoder::System);
        text = local.isValid() ? local(bytes) : QString::fromLatin1(bytes);
        // A C or UTF-8 locale gives no single-byte reading: Latin-1 is the likeliest then.
        if (text.contains(QChar::ReplacementCharacter))
            text = QString::fromLatin1(bytes);
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

double lrcOffsetMs(QStringView text)
{
    for (QStringView line : QStringTokenizer(text, u'\n', Qt::SkipEmptyParts)) {
        const QStringView tag = trimmed(line);
        if (!tag.startsWith(QStringLiteral("[offset:"), Qt::CaseInsensitive) || !tag.endsWith(u']'))
            continue;
        const std::optional<std::int64_t> ms = number_reading::readInt64(trimmed(tag.sliced(8, tag.size() - 9)));
        if (!ms || *ms > lyric_time::maxMilliseconds || *ms < -lyric_time::maxMilliseconds)
            return 0;
        return double(*ms);
    }
    return 0;
}

bool hasWordTags(QStringView text)
{
    qsizetype open = text.indexOf(u'<');
    while (open >= 0) {
        const qsizetype close = text.indexOf(u'>', open + 1);
        if (close < 0)
            return false;
        if (readTimeTag(text.sliced(open + 1, close - open - 1)))
            return true;
        open = text.indexOf(u'<', close + 1);
    }
    return false;
}

QList<TimedWord> parseEnhancedLrc(QStringView text)
{
    DocumentBudget budget;
    QList<TaggedLine> lines;
    QList<double> lineTimes;
    for (QStringView line : QStringTokenizer(text, u'\n', Qt::SkipEmptyParts)) {
        std::optional<TaggedLine> tagged = readTaggedLine(line, lineTimes, budget);
        if (!tagged || tagged->words.isEmpty())
            continue;
        QString joined;
        for (const TaggedWord& word : std::as_const(tagged->words))
            joined += (joined.isEmpty() ? QString() : QStringLiteral(" ")) + word.text;
        if (isCreditLine(joined))
            continue;
        lines.append(std::move(*tagged));
    }
    budget.reportLeftOut();
    std::stable_sort(lines.begin(), lines.end(),
                     [](const TaggedLine& a, const TaggedLine& b) { return a.start < b.start; });

    QList<TimedWord> words;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QList<TaggedWord>& line = lines[i].words;
        const double lineEnd = i + 1 < lines.size() ? lines[i + 1].start : line.back().start + lastWordRoom;
        for (qsizetype w = 0; w < line.size(); ++w) {
            // Words sharing a tag (pieces of one tagged phrase) end where the next tag starts.
            qsizetype next = w + 1;
            while (next < line.size() && line[next].start == line[w].start)
                ++next;
            const double end = next < line.size() ? line[next].start : std::min(lineEnd, line[w].start + lastWordRoom);
            words.append(TimedWord{line[w].text, line[w].start, std::max(line[w].start, end), i});
        }
    }
    std::stable_sort(words.begin(), words.end(),
                     [](const TimedWord& a, const TimedWord& b) { return a.start < b.start; });
    return cleanWords(words);
}

std::optional<TimedLyrics> parseLocalLyrics(QStringView text)
{
    const bool wordTimed = hasWordTags(text);
    QList<TimedWord> words = wordTimed ? parseEnhancedLrc(text) : parseLineLevel(text);
    if (words.isEmpty())
        return std::nullopt;
    // LRC convention: a positive offset makes the lyrics appear earlier, so every time moves back.
    shiftTimes(words, -lrcOffsetMs(text) / 1000.0);
    return TimedLyrics(wordTimed ? LyricTier::wordLevel : LyricTier::interpolated, std::move(words));
}
