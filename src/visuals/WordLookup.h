#pragma once

#include "visuals/WordVisual.h"

#include <QHash>
#include <QString>

#include <optional>

class KeywordLookup;
class WordEmbedding;

// Which pictogram goes with a word, as a pure function of what is known: the keyword tables, the
// icon catalog's search index, the emoji's own keywords and, once loaded, the word embedding. Takes memo keys
// (word_forms::visualKey); the threads and the memo are the resolver's.
namespace word_lookup {

inline constexpr int neighbourCount = 20;
inline constexpr double neighbourDistanceLimit = 0.9;  // a neighbour is used below this
inline constexpr double anchorDistanceLimit = 0.88;  // the best anchor is used below this

struct Sources {
    const KeywordLookup& keywords;
    const QHash<QString, QString>& index;  // search term -> symbol name
    const QHash<QString, QString>& emojiKeywords;  // emoji name or keyword -> emoji
    const WordEmbedding* embedding;  // none: not loaded, or missing
};

// How a word's pictogram was found, for a user asking why a picture was chosen.
struct Explanation {
    enum class Way { table, symbolCatalog, emojiKeyword, neighbour, anchor, stopWord, tooShort, none };
    QString key;  // the memo key (word_forms::visualKey)
    QString word;  // the key normalised (lemma, dropped g)
    Way way = Way::none;
    std::optional<WordVisual> visual;
    QString via;  // the word form, neighbour or anchor whose entry gave the visual
    double distance = 0;  // for a neighbour or an anchor
};

// The lemma of a key, and a dropped g put back ("lovin") where the embedding knows the g-form.
QString normalizeWord(const QString& key, const WordEmbedding* embedding);
// The tables, the index and the emoji keywords alone, without the embedding's neighbour and anchor
// steps.
std::optional<WordVisual> quickVisual(const QString& key, const Sources& sources);
// Every step, with its reasons.
Explanation explainKey(const QString& key, const Sources& sources);

}  // namespace word_lookup
