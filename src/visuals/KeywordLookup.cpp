#include "visuals/KeywordLookup.h"

#include "visuals/KeywordTables.h"
#include "visuals/SymbolSet.h"

KeywordLookup::KeywordLookup(const SymbolExists& symbolExists)
{
    for (const keyword_tables::Row& row : keyword_tables::symbolKeywords()) {
        if (!symbolExists(row.value))
            continue;
        m_symbols.insert(row.key, row.value);
        m_anchors.append(row.key);
    }
    for (const keyword_tables::Row& row : keyword_tables::emojiKeywords()) {
        m_emoji.insert(row.key, row.value);
        m_anchors.append(row.key);
    }
}

const KeywordLookup& KeywordLookup::shared()
{
    static const KeywordLookup lookup(&symbol_set::symbolExists);
    return lookup;
}

const QString* KeywordLookup::symbolFor(const QString& keyword) const
{
    const auto it = m_symbols.constFind(keyword);
    return it == m_symbols.cend() ? nullptr : &*it;
}

const QString* KeywordLookup::emojiFor(const QString& keyword) const
{
    const auto it = m_emoji.constFind(keyword);
    return it == m_emoji.cend() ? nullptr : &*it;
}

std::optional<WordVisual> KeywordLookup::keywordVisual(const QString& keyword) const
{
    if (const QString* symbol = symbolFor(keyword))
        return WordVisual::symbol(*symbol);
    if (const QString* emoji = emojiFor(keyword))
        return WordVisual::emoji(*emoji);
    return std::nullopt;
}
