#pragma once

#include <QString>
#include <QStringView>

// Unicode helpers shared by the lyric parsers and filters.
namespace unicode_text {

// Whitespace for trimming: space separators (Zs) and TAB; a CR (the tail of CRLF line ends)
// and the byte-order mark U+FEFF count too, so that such texts parse like LF texts.
bool isWhitespace(QChar c);
QStringView trimmed(QStringView text);

// A letter, mark or number (general categories L*, M*, N*).
bool isAlphanumeric(char32_t scalar);
bool containsAlphanumeric(QStringView text);
// Every code unit below U+0080: no folding, normalisation or cluster rules apply.
bool isAscii(QStringView text);

// Calls f(char32_t) for every scalar; a lone surrogate is passed as U+FFFD.
template <typename F> void forEachScalar(QStringView text, F&& f)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
            f(static_cast<char32_t>(QChar::surrogateToUcs4(c, text[i + 1])));
            ++i;
        } else if (c.isSurrogate()) {
            f(char32_t{0xFFFD});
        } else {
            f(static_cast<char32_t>(c.unicode()));
        }
    }
}

// Number of user-perceived characters (extended grapheme clusters).
qsizetype characterCount(QStringView text);
// The first count user-perceived characters of text (all of it when it has fewer).
QStringView leadingCharacters(QStringView text, qsizetype count);
// Number of user-perceived characters whose first scalar is a letter or a number.
qsizetype letterOrNumberCount(QStringView text);

bool isIdeograph(char32_t scalar);
bool isKana(char32_t scalar);

}  // namespace unicode_text
