#include "visuals/WordLookup.h"

#include "visuals/Embedding.h"
#include "visuals/KeywordLookup.h"
#include "visuals/KeywordTables.h"
#include "visuals/WordForms.h"

#include <QSet>

namespace word_lookup {

namespace {

using Way = Explanation::Way;
using Found = std::pair<WordVisual, Way>;

bool isStopWord(const QString& word) { return keyword_tables::stopWords().contains(word); }

bool isTableKeyword(const QString& word)
{
    static const QSet<QString> keywords = [] {
        QSet<QString> set;
        for (const auto* rows : {&keyword_tables::symbolKeywords(), &keyword_tables::emojiKeywords()})
            for (const keyword_tables::Row& row : *rows)
                set.insert(row.key);
        return set;
    }();
    return keywords.contains(word);
}

std::optional<Found> tableVisual(const QString& form, const Sources& sources)
{
    if (const QString* symbol = sources.keywords.symbolFor(form))
        return Found{WordVisual::symbol(*symbol), Way::table};
    if (const QString* emoji = sources.keywords.emojiFor(form))
        return Found{WordVisual::emoji(*emoji), Way::table};
    return std::nullopt;
}

std::optional<Found> catalogVisual(const QString& form, const Sources& sources)
{
    if (const auto it = sources.index.constFind(form); it != sources.index.cend())
        return Found{WordVisual::symbol(*it), Way::symbolCatalog};
    return std::nullopt;
}

std::optional<Found> emojiKeywordVisual(const QString& form, const Sources& sources)
{
    if (const auto it = sources.emojiKeywords.constFind(form); it != sources.emojiKeywords.cend())
        return Found{WordVisual::emoji(*it), Way::emojiKeyword};
    return std::nullopt;
}

std::optional<Found> tableOrIndexVisual(const QString& form, const Sources& sources)
{
    if (auto found = tableVisual(form, sources))
        return found;
    return catalogVisual(form, sources);
}

// Every form through the keyword tables first, so that a word they picture (in any of its forms)
// keeps its picture; then the emoji's own names and keywords, which say what an emoji shows, before
// the icon catalog's tags, which only say what an icon may be searched by ("sunshine" is a tag of
// the sunset icon, and a keyword of ☀️). Only then the stem the word was derived from ("tearful").
std::optional<std::pair<Found, QString>> firstVisual(const QStringList& forms, const Sources& sources)
{
    for (const QStringList& candidates : {forms, word_forms::derivedStems(forms.first())})
        for (const auto lookup : {&tableVisual, &emojiKeywordVisual, &catalogVisual})
            for (const QString& form : candidates)
                if (auto found = lookup(form, sources))
                    return std::pair{*found, form};
    return std::nullopt;
}

// The table keyword nearest the word, if near enough.
bool anchorVisual(const QString& word, const Sources& sources, Explanation& result)
{
    const WordEmbedding* embedding = sources.embedding;
    if (!embedding->contains(word))
        return false;
    double best = 2.0;
    const QString* bestAnchor = nullptr;
    for (const QString& anchor : sources.keywords.anchorKeywords()) {
        const double distance = embedding->distance(word, anchor);
        if (distance < best) {
            best = distance;
            bestAnchor = &anchor;
        }
    }
    if (!bestAnchor || !(best < anchorDistanceLimit))
        return false;
    std::optional<WordVisual> visual = sources.keywords.keywordVisual(*bestAnchor);
    if (!visual)
        return false;
    result.way = Way::anchor;
    result.visual = std::move(visual);
    result.via = *bestAnchor;
    result.distance = best;
    return true;
}

}  // namespace

QString normalizeWord(const QString& key, const WordEmbedding* embedding)
{
    QString word = keyword_tables::lemmaTable().value(key, key);
    // The tables' own words are meant as written: "win" is no dropped g of "wing".
    if (!word.endsWith(u"in") || !embedding || isTableKeyword(word))
        return word;
    // A dropped g ("lovin"): keep a word the embedding knows whose g-form it does not ("cabin").
    const QString withG = word + u'g';
    if (embedding->contains(word) && !embedding->contains(withG))
        return word;
    return withG;
}

std::optional<WordVisual> quickVisual(const QString& key, const Sources& sources)
{
    const QString normal = normalizeWord(key, sources.embedding);
    if (isStopWord(normal))
        return std::nullopt;
    if (auto found = firstVisual(word_forms::candidateForms(normal), sources))
        return found->first.first;
    return std::nullopt;
}

Explanation explainKey(const QString& key, const Sources& sources)
{
    const WordEmbedding* embedding = sources.embedding;
    Explanation result{key, normalizeWord(key, embedding), Way::none, std::nullopt, {}, 0};
    const QString& word = result.word;
    if (isStopWord(word)) {
        result.way = Way::stopWord;
        return result;
    }
    const auto take = [&result](const Found& found, Way way, const QString& via, double distance) {
        result.way = way;
        result.visual = found.first;
        result.via = via;
        result.distance = distance;
        return result;
    };
    const QStringList forms = word_forms::candidateForms(word);
    if (auto found = firstVisual(forms, sources))
        return take(found->first, found->first.second, found->second, 0);
    if (!embedding)
        return result;

    // A neighbour's picture: the nearest neighbour that a table or the catalog knows, or else (when no
    // anchor comes near either) the nearest that is an emoji's keyword.
    const auto neighbourVisual = [&](auto lookup) {
        for (const QString& form : forms) {
            for (const WordEmbedding::Neighbour& neighbour : embedding->neighbours(form, neighbourCount)) {
                if (!(neighbour.distance < neighbourDistanceLimit))
                    continue;
                const QString lower = neighbour.word.toLower();
                if (isStopWord(lower))
                    continue;
                if (auto found = lookup(lower, sources)) {
                    take(*found, Way::neighbour, lower, neighbour.distance);
                    return true;
                }
            }
        }
        return false;
    };
    if (!neighbourVisual(&tableOrIndexVisual) && !anchorVisual(word, sources, result))
        neighbourVisual(&emojiKeywordVisual);
    return result;
}

}  // namespace word_lookup
