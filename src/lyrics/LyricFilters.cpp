#include "lyrics/LyricFilters.h"

#include "foundation/DiagLog.h"
#include "lyrics/UnicodeText.h"

#include <QSet>

#include <array>

using namespace unicode_text;

namespace {

// Labels that mark a credit line; searched for as substrings of the lowercased label.
const std::array<QStringView, 21> creditWords = {
    u"作词", u"作曲", u"编曲", u"制作", u"出品", u"混音", u"母带",     u"监制",     u"录音",      u"和声",     u"吉他",
    u"贝斯", u"键盘", u"鼓",   u"发行", u"词",   u"曲",   u"producer", u"composed", u"lyrics by", u"arranged",
};

// A credit label is short: "executive producer" is a sung-line lookalike we keep.
constexpr qsizetype creditLabelLimit = 13;

bool containsIdeograph(QStringView text)
{
    bool found = false;
    forEachScalar(text, [&](char32_t s) { found = found || isIdeograph(s); });
    return found;
}

struct ScriptCounts {
    qsizetype ideographs = 0;
    qsizetype kana = 0;
    qsizetype total = 0;

    void add(QStringView text)
    {
        forEachScalar(text, [this](char32_t s) {
            if (isIdeograph(s))
                ++ideographs;
            else if (isKana(s))
                ++kana;
            else if (!isAlphanumeric(s))
                return;
            ++total;
        });
    }

    // Mostly ideographs and no kana (which would make it Japanese, a sung line).
    bool isTranslation() const { return total > 0 && kana == 0 && 2 * ideographs > total; }
};

QSet<std::int64_t> translationLineNumbers(const QList<TimedWord>& words)
{
    QSet<std::int64_t> marked;
    qsizetype runStart = 0;
    while (runStart < words.size()) {
        const std::int64_t line = words[runStart].line;
        ScriptCounts counts;
        qsizetype runEnd = runStart;
        for (; runEnd < words.size() && words[runEnd].line == line; ++runEnd)
            counts.add(words[runEnd].text);
        if (counts.isTranslation())
            marked.insert(line);
        runStart = runEnd;
    }
    return marked;
}

QString withoutFullWidthParentheses(const QString& text)
{
    QString stripped = text;
    stripped.remove(QChar(0xFF08)).remove(QChar(0xFF09));
    return trimmed(stripped).toString();
}

}  // namespace

bool isCreditLine(QStringView text)
{
    const QString lowered = trimmed(text).toString().toLower();
    const qsizetype colon = [&] {
        for (qsizetype i = 0; i < lowered.size(); ++i) {
            if (lowered[i] == u':' || lowered[i] == QChar(0xFF1A))
                return i;
        }
        return qsizetype{-1};
    }();
    if (colon < 0)
        return false;
    const QStringView label = trimmed(QStringView(lowered).first(colon));
    if (characterCount(label) >= creditLabelLimit)
        return false;
    return std::any_of(creditWords.begin(), creditWords.end(), [&](QStringView word) { return label.contains(word); });
}

QList<TimedWord> cleanWords(const QList<TimedWord>& words)
{
    QList<TimedWord> cleaned;
    cleaned.reserve(words.size());
    for (const TimedWord& word : words) {
        QString text = withoutFullWidthParentheses(word.text);
        if (text.isEmpty())
            continue;
        if (containsAlphanumeric(text)) {
            cleaned.append(TimedWord{std::move(text), word.start, word.end, word.line});
        } else if (!cleaned.isEmpty()) {
            TimedWord& previous = cleaned.last();
            previous.text += text;
            previous.end = std::max(previous.end, word.end);
        }
    }
    return cleaned;
}

QList<TimedWord> dropTranslationLines(const QList<TimedWord>& words, QStringView title, QStringView artist)
{
    if (containsIdeograph(title) || containsIdeograph(artist))
        return words;
    const QSet<std::int64_t> marked = translationLineNumbers(words);
    if (marked.isEmpty())
        return words;

    QList<TimedWord> kept;
    for (const TimedWord& word : words) {
        if (!marked.contains(word.line))
            kept.append(word);
    }
    if (kept.isEmpty())
        return words;
    DiagLog::log(QStringLiteral("lyrics: dropped %1 translation-line words").arg(words.size() - kept.size()));
    return kept;
}
