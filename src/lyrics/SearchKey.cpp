#include "lyrics/SearchKey.h"

#include "lyrics/UnicodeText.h"

#include <QRegularExpression>

#include <array>

namespace {

// Full-width letters and digits become their ordinary forms, half-width kana their full forms.
QString foldWidth(QStringView text)
{
    QString folded;
    folded.reserve(text.size());
    unicode_text::forEachScalar(text, [&](char32_t scalar) {
        const QChar::Decomposition tag = QChar::decompositionTag(scalar);
        if (tag == QChar::Wide || tag == QChar::Narrow)
            folded += QChar::decomposition(scalar);
        else
            folded += QStringView(QChar::fromUcs4(scalar));
    });
    return folded;
}

// 'é' becomes 'e' and 'が' becomes 'か'; composing again afterwards keeps Hangul syllables whole,
// since the query sent to the service is built from the key.
QString foldDiacritics(const QString& text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString kept;
    kept.reserve(decomposed.size());
    unicode_text::forEachScalar(decomposed, [&](char32_t scalar) {
        if (QChar::category(scalar) != QChar::Mark_NonSpacing)
            kept += QStringView(QChar::fromUcs4(scalar));
    });
    return kept.normalized(QString::NormalizationForm_C);
}

// Notes that name the same song differently, removed in this order. Unicode properties make \s
// and \d match beyond ASCII, as the titles do.
const std::array<QRegularExpression, 5>& notePatterns()
{
    constexpr auto options = QRegularExpression::UseUnicodePropertiesOption;
    static const std::array<QRegularExpression, 5> patterns = {
        QRegularExpression(QStringLiteral(R"re(\((feat|ft|with|featuring)[.\s][^)]*\))re"), options),
        QRegularExpression(QStringLiteral(R"re(\[[^\]]*\])re"), options),
        QRegularExpression(QStringLiteral(R"re(\((from|theme from|music from)[^)]*\))re"), options),
        QRegularExpression(
            QStringLiteral(R"re(\((\d{4} )?(re-?master(ed)?|deluxe|bonus|explicit|single|album|radio)[^)]*\))re"),
            options),
        QRegularExpression(
            QStringLiteral(R"re(\s-\s.*(remix|version|edit|mix|remaster|acoustic|live|instrumental).*$)re"), options),
    };
    return patterns;
}

QString alphanumericWords(QStringView text)
{
    QString key;
    key.reserve(text.size());
    bool pendingSpace = false;
    unicode_text::forEachScalar(text, [&](char32_t scalar) {
        if (!unicode_text::isAlphanumeric(scalar)) {
            pendingSpace = !key.isEmpty();
            return;
        }
        if (pendingSpace)
            key += u' ';
        pendingSpace = false;
        key += QStringView(QChar::fromUcs4(scalar));
    });
    return key;
}

}  // namespace

QString searchKey(QStringView text)
{
    QString folded = text.toString().toLower();
    if (!unicode_text::isAscii(folded))
        folded = foldDiacritics(foldWidth(folded));
    for (const QRegularExpression& note : notePatterns())
        folded.replace(note, QStringLiteral(" "));
    return alphanumericWords(folded);
}
