#include "visuals/EmojiKeywords.h"

#include <QFile>
#include <QList>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <tuple>

namespace emoji_keywords {

namespace {

struct Entry {
    QString emoji;
    QString name;
    QStringList keywords;
    QList<uint> codePoints;
};

QList<Entry> entriesOf(const QByteArray& text)
{
    QList<Entry> entries;
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() != 3 || fields[0].isEmpty() || fields[1].isEmpty())
            continue;
        const QString emoji = QString::fromUtf8(fields[0]);
        entries.append({emoji, QString::fromUtf8(fields[1]),
                        QString::fromUtf8(fields[2]).split(u' ', Qt::SkipEmptyParts), emoji.toUcs4()});
    }
    return entries;
}

// How near in meaning an entry's name and other keywords come to `word`: the distance of the
// nearest, 0 when the name holds the word ("worried face" for worried).
double nearness(const QString& word, const Entry& entry, const Nearness& distance)
{
    static const QRegularExpression nonLetters(QStringLiteral("[^a-z]+"));
    const QStringList nameWords = entry.name.split(nonLetters, Qt::SkipEmptyParts);
    if (nameWords.contains(word))
        return 0.0;
    double best = 2.0;
    for (const QStringList* words : {&nameWords, &entry.keywords})
        for (const QString& other : *words)
            if (other != word)
                best = std::min(best, distance(word, other));
    return best;
}

bool isVowel(QChar c) { return QStringView(u"aeiou").contains(c); }

// The regular English plurals of a noun; for a final o both spellings ("tomatoes", "photos").
QStringList pluralsOf(const QString& noun)
{
    if (noun.endsWith(u's') || noun.endsWith(u'x') || noun.endsWith(u'z') || noun.endsWith(u"ch")
        || noun.endsWith(u"sh"))
        return {noun + QStringLiteral("es")};
    if (noun.size() > 1 && noun.endsWith(u'y') && !isVowel(noun[noun.size() - 2]))
        return {noun.chopped(1) + QStringLiteral("ies")};
    if (noun.endsWith(u'o'))
        return {noun + u's', noun + QStringLiteral("es")};
    return {noun + u's'};
}

// A plural of a one-word name means what the name shows: "wings" is 🪽 wing, not 💸 money with wings,
// whose keywords hold the plural. A plural that is itself a name ("glasses") keeps its own.
void addPluralsOfNames(const QSet<QString>& names, QHash<QString, QString>& result)
{
    for (const QString& name : names)
        for (const QString& plural : pluralsOf(name))
            if (!names.contains(plural))
                result.insert(plural, result.value(name));
}

}  // namespace

QString resourcePath() { return QStringLiteral(":/visuals/emoji_keywords.tsv"); }

QHash<QString, QString> parse(const QByteArray& text, const Nearness& distance)
{
    const QList<Entry> entries = entriesOf(text);
    QHash<QString, QList<qsizetype>> fitting;  // word -> the entries it names or is a keyword of
    QSet<QString> oneWordNames;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (!entries[i].name.contains(u' ')) {
            fitting[entries[i].name].append(i);
            oneWordNames.insert(entries[i].name);
        }
        for (const QString& keyword : entries[i].keywords)
            if (keyword != entries[i].name)
                fitting[keyword].append(i);
    }
    QHash<QString, QString> result;
    result.reserve(fitting.size());
    for (auto it = fitting.cbegin(); it != fitting.cend(); ++it) {
        const QString& word = it.key();
        const auto rank = [&](qsizetype i) {
            const Entry& entry = entries[i];
            const bool named = entry.name == word;
            // Only asked where several emoji fit, so that the embedding is queried for few words.
            const double near = named || it->size() == 1 || !distance ? 0.0 : nearness(word, entry, distance);
            const qsizetype characters = entry.codePoints.size() - entry.codePoints.count(0xFE0F);
            return std::tuple(!named, near, characters, entry.keywords.size(), entry.codePoints);
        };
        qsizetype best = it->first();
        auto bestRank = rank(best);
        for (qsizetype i : it->sliced(1)) {
            auto candidate = rank(i);
            if (candidate < bestRank) {
                best = i;
                bestRank = std::move(candidate);
            }
        }
        result.insert(word, entries[best].emoji);
    }
    addPluralsOfNames(oneWordNames, result);
    return result;
}

QHash<QString, QString> read(const QString& path, const Nearness& distance)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parse(file.readAll(), distance);
}

}  // namespace emoji_keywords
