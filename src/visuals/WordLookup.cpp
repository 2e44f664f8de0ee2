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
// the sunset icon, and the name of 🌞's keyword).
std::optional<std::pair<Found, QString>> firstVisual(const QStringList& forms, const Sources& sources)
{
    for (const auto lookup : {&tableVisual, &emojiKeywordVisual, &catalogVisual})
        for (const QString& form : forms)
            if (auto found = lookup(form, sources))
                return std::pair{*found, form};
    return std::nullopt;
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

    for (const QString& form : forms) {
        for (const WordEmbedding::Neighbour& neighbour : embedding->neighbours(form, neighbourCount)) {
            if (!(neighbour.distance < neighbourDistanceLimit))
                continue;
            const QString lower = neighbour.word.toLower();
            if (isStopWord(lower))
                continue;
            if (auto found = tableOrIndexVisual(lower, sources))
                return take(*found, Way::neighbour, lower, neighbour.distance);
        }
    }

    if (!embedding->contains(word))
        return result;
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
        return result;
    if (auto visual = sources.keywords.keywordVisual(*bestAnchor)) {
        result.way = Way::anchor;
        result.visual = std::move(visual);
        result.via = *bestAnchor;
        result.distance = best;
    }
    return result;
}

}  // namespace word_lookup
