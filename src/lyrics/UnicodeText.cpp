#include "lyrics/UnicodeText.h"

#include <QTextBoundaryFinder>

namespace unicode_text {

bool isWhitespace(QChar c)
{
    switch (c.unicode()) {
    case u'\t':
    case u'\r':
    case 0xFEFF:
        return true;
    default:
        return c.category() == QChar::Separator_Space;
    }
}

QStringView trimmed(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isWhitespace(text[begin]))
        ++begin;
    while (end > begin && isWhitespace(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

namespace {

bool isLetterOrNumber(char32_t scalar)
{
    switch (QChar::category(scalar)) {
    case QChar::Letter_Uppercase:
    case QChar::Letter_Lowercase:
    case QChar::Letter_Titlecase:
    case QChar::Letter_Modifier:
    case QChar::Letter_Other:
    case QChar::Number_DecimalDigit:
    case QChar::Number_Letter:
    case QChar::Number_Other:
        return true;
    default:
        return false;
    }
}

}  // namespace

bool isAlphanumeric(char32_t scalar)
{
    switch (QChar::category(scalar)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        return true;
    default:
        return isLetterOrNumber(scalar);
    }
}

bool isAscii(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

bool containsAlphanumeric(QStringView text)
{
    bool found = false;
    forEachScalar(text, [&](char32_t s) { found = found || isAlphanumeric(s); });
    return found;
}

namespace {

// Calls f(cluster) for every extended grapheme cluster of text.
template <typename F> void forEachCharacter(QStringView text, F&& f)
{
    if (isAscii(text)) {
        // Each ASCII character is a cluster of its own, except CR LF, which never occurs inside
        // the lines we measure (they are cut at LF).
        for (qsizetype i = 0; i < text.size(); ++i)
            f(text.sliced(i, 1));
        return;
    }
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.data(), text.size());
    qsizetype start = 0;
    for (qsizetype next = finder.toNextBoundary(); next != -1; next = finder.toNextBoundary()) {
        if (next > start)
            f(text.sliced(start, next - start));
        start = next;
    }
}

char32_t firstScalar(QStringView cluster)
{
    char32_t first = 0;
    bool seen = false;
    forEachScalar(cluster.first(qMin<qsizetype>(2, cluster.size())), [&](char32_t s) {
        if (!seen) {
            first = s;
            seen = true;
        }
    });
    return first;
}

}  // namespace

qsizetype characterCount(QStringView text)
{
    qsizetype count = 0;
    forEachCharacter(text, [&](QStringView) { ++count; });
    return count;
}

QStringView leadingCharacters(QStringView text, qsizetype count)
{
    qsizetype end = 0;
    qsizetype taken = 0;
    forEachCharacter(text, [&](QStringView cluster) {
        if (taken < count) {
            end = cluster.data() - text.data() + cluster.size();
            ++taken;
        }
    });
    return text.first(end);
}

qsizetype letterOrNumberCount(QStringView text)
{
    qsizetype count = 0;
    forEachCharacter(text, [&](QStringView cluster) {
        if (isLetterOrNumber(firstScalar(cluster)))
            ++count;
    });
    return count;
}

bool isIdeograph(char32_t s)
{
    return (s >= 0x4E00 && s <= 0x9FFF) || (s >= 0x3400 && s <= 0x4DBF) || (s >= 0xF900 && s <= 0xFAFF);
}

bool isKana(char32_t s) { return s >= 0x3040 && s <= 0x30FF; }

}  // namespace unicode_text
