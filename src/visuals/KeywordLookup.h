#pragma once

#include "visuals/WordVisual.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The keyword tables as dictionaries: the symbol table filtered once by which symbols can be drawn
// (a row whose symbol is missing is dropped, so a keyword that also has an emoji gets the emoji),
// the emoji table as it is, and the anchor list of the embedding step. Immutable once built.
class KeywordLookup {
public:
    using SymbolExists = std::function<bool(const QString& name)>;

    explicit KeywordLookup(const SymbolExists& symbolExists);
    // Filtered by the application's symbol set; built on first use (thread-safe).
    static const KeywordLookup& shared();

    const QString* symbolFor(const QString& keyword) const;
    const QString* emojiFor(const QString& keyword) const;
    // Exact, case-sensitive: the symbol if the filtered table holds the keyword, else the emoji.
    std::optional<WordVisual> keywordVisual(const QString& keyword) const;
    // All keywords of the filtered symbol table, then all of the emoji table, in table order.
    const QStringList& anchorKeywords() const { return m_anchors; }
    qsizetype symbolKeywordCount() const { return m_symbols.size(); }

private:
    QHash<QString, QString> m_symbols;
    QHash<QString, QString> m_emoji;
    QStringList m_anchors;
};
