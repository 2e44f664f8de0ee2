#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// The fixed vocabulary behind word visuals, as constant tables built once on first use (thread-safe)
// and read-only afterwards. Keywords are lower-case ASCII; symbol names are the names of the
// application's symbol set (SymbolSet), emoji are exact character sequences.
namespace keyword_tables {

struct Row {
    QString key;
    QString value;
};

// Keyword to symbol name: 679 rows, unique keywords, 254 distinct names, grouped by name.
const QList<Row>& symbolKeywords();
// Keyword to emoji: 198 rows, unique keywords, 171 distinct emoji.
const QList<Row>& emojiKeywords();
// Word to base form: 32 rows, consulted before any table lookup.
const QList<Row>& lemmaRows();
const QHash<QString, QString>& lemmaTable();
// Words that never get a pictogram through the resolver: 286, in table order.
const QStringList& stopWordList();
const QSet<QString>& stopWords();
// "s", "ing", "ed", tried in this order by candidateForms.
const QStringList& stemSuffixes();

}  // namespace keyword_tables
