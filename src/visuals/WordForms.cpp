#include "visuals/WordForms.h"

#include "lyrics/UnicodeText.h"
#include "visuals/KeywordTables.h"

namespace word_forms {

QString visualKey(QStringView text)
{
    const QString lower = text.toString().toLower();
    QString key;
    key.reserve(lower.size());
    unicode_text::forEachScalar(lower, [&key](char32_t scalar) {
        if (QChar::isLetter(scalar))
            key.append(QStringView(QChar::fromUcs4(scalar)));
    });
    return key;
}

qsizetype keyLength(QStringView key)
{
    return unicode_text::isAscii(key) ? key.size() : unicode_text::characterCount(key);
}

QStringList candidateForms(const QString& word)
{
    QStringList forms{word};
    const QList<uint> scalars = word.toUcs4();
    for (const QString& suffix : keyword_tables::stemSuffixes()) {
        if (!word.endsWith(suffix))
            continue;
        const QList<uint> stem = scalars.first(scalars.size() - suffix.size());  // suffixes are ASCII
        if (stem.size() < 2)
            continue;
        const QString stemText = QString::fromUcs4(reinterpret_cast<const char32_t*>(stem.constData()), stem.size());
        forms.append(stemText);
        if (suffix == u"s")
            continue;
        forms.append(stemText + u'e');
        if (stem.size() >= 3 && stem[stem.size() - 1] == stem[stem.size() - 2])
            forms.append(stemText.chopped(QChar::requiresSurrogates(stem.last()) ? 2 : 1));
    }
    return forms;
}

QStringList derivedStems(const QString& word)
{
    QStringList stems;
    for (const QStringView suffix : {u"ful", u"ness"}) {
        if (!word.endsWith(suffix) || word.size() - suffix.size() < 3)
            continue;
        QString stem = word.chopped(suffix.size());
        if (stem.endsWith(u'i'))
            stem = stem.chopped(1) + u'y';
        stems.append(stem);
    }
    return stems;
}

}  // namespace word_forms
