#include "visuals/WordVisualResolver.h"

#include "foundation/UserFolders.h"

#include "foundation/DiagLog.h"
#include "foundation/AtomicFileWrite.h"
#include "foundation/RegularFileRead.h"
#include "lyrics/LyricsCache.h"
#include "visuals/KeywordLookup.h"
#include "visuals/KeywordTables.h"
#include "visuals/SymbolSet.h"
#include "visuals/WordForms.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <utility>

namespace {

bool isStopWord(const QString& word) { return keyword_tables::stopWords().contains(word); }

}  // namespace

std::optional<QHash<QString, QString>> readMemoFile(const QString& path)
{
    const FileRead file = readRegularFile(path, WordVisualResolver::memoFileSizeCap);
    if (file.status != FileRead::Status::read)
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(file.bytes);
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    QHash<QString, QString> memo;
    memo.reserve(object.size());
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (!it.value().isString())
            return std::nullopt;
        memo.insert(it.key(), it.value().toString());
    }
    return memo;
}

QHash<QString, QString> readSymbolIndex(const QString& path, const std::function<bool(const QString&)>& symbolExists)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    if (!document.isObject())
        return {};
    const QJsonObject object = document.object();
    QList<std::pair<QString, QStringList>> entries;
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (!it.value().isArray())
            return {};
        QStringList terms;
        for (const QJsonValue& term : it.value().toArray()) {
            if (!term.isString())
                return {};
            terms.append(term.toString());
        }
        entries.append({it.key(), terms});
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto& a, const auto& b) { return a.first.size() < b.first.size(); });
    QHash<QString, QString> index;
    for (const auto& [name, terms] : std::as_const(entries)) {
        // Localised and right-to-left variants of a symbol carry the same terms as the symbol.
        if (name.contains(u".ar") || name.contains(u".hi") || name.contains(u"rtl") || !symbolExists(name))
            continue;
        for (const QString& term : terms) {
            const QString lower = term.toLower();
            if (!index.contains(lower))
                index.insert(lower, name);
        }
    }
    return index;
}

WordVisualResolver::Sources WordVisualResolver::defaultSources()
{
    return {UserFolders::wordVisualMemoFile(),
            symbol_set::searchIndexPath(), WordEmbedding::defaultFilePath()};
}

WordVisualResolver::WordVisualResolver(Sources sources, QObject* parent)
    : QObject(parent), m_sources(std::move(sources)), m_lookup(KeywordLookup::shared())
{
    QDir().mkpath(QFileInfo(m_sources.memoFile).absolutePath());  // a failure shows up as a failed save
    m_worker.setMaxThreadCount(1);
    m_worker.setExpiryTimeout(-1);
    m_worker.setThreadPriority(QThread::LowPriority);
    m_worker.start([this] { loadIndexes(); });
}

WordVisualResolver::~WordVisualResolver()
{
    m_stopping = true;
    m_worker.clear();
    m_worker.waitForDone();
}

WordVisualResolver::Snapshot WordVisualResolver::snapshot() const
{
    const std::lock_guard guard(m_lock);
    return {m_index, m_embedding};  // the index is shared, not copied element by element
}

bool WordVisualResolver::isLoaded() const
{
    const std::lock_guard guard(m_lock);
    return m_loaded;
}

QHash<QString, QString> WordVisualResolver::memoSnapshot() const
{
    const std::lock_guard guard(m_lock);
    return m_resolved;
}

std::optional<WordVisualResolver::Found> WordVisualResolver::tableOrIndexVisual(
    const QString& form, const QHash<QString, QString>& index) const
{
    if (const QString* symbol = m_lookup.symbolFor(form))
        return Found{WordVisual::symbol(*symbol), Explanation::Way::table};
    if (const QString* emoji = m_lookup.emojiFor(form))
        return Found{WordVisual::emoji(*emoji), Explanation::Way::table};
    if (const auto it = index.constFind(form); it != index.cend())
        return Found{WordVisual::symbol(*it), Explanation::Way::symbolCatalog};
    return std::nullopt;
}

std::optional<WordVisual> WordVisualResolver::visual(QStringView word) const
{
    const QString key = word_forms::visualKey(word);
    if (word_forms::keyLength(key) < word_forms::minimumKeyLength)
        return std::nullopt;
    QHash<QString, QString> index;
    std::shared_ptr<const WordEmbedding> embedding;
    {
        const std::lock_guard guard(m_lock);
        if (const auto it = m_resolved.constFind(key); it != m_resolved.cend())
            return decodeVisual(*it);
        index = m_index;
        embedding = m_embedding;
    }
    // Not resolved yet: tables and index only; the neighbour and anchor steps wait for prefetch.
    const QString normal = normalizeWord(key, embedding.get());
    if (isStopWord(normal))
        return std::nullopt;
    for (const QString& form : word_forms::candidateForms(normal))
        if (auto found = tableOrIndexVisual(form, index))
            return found->first;
    return std::nullopt;
}

QString WordVisualResolver::normalizeWord(const QString& key) const
{
    return normalizeWord(key, snapshot().embedding.get());
}

QString WordVisualResolver::normalizeWord(const QString& key, const WordEmbedding* embedding) const
{
    QString word = keyword_tables::lemmaTable().value(key, key);
    if (!word.endsWith(u"in") || !embedding)
        return word;
    // A dropped g ("lovin"): keep a word the embedding knows whose g-form it does not ("cabin").
    const QString withG = word + u'g';
    if (embedding->contains(word) && !embedding->contains(withG))
        return word;
    return withG;
}

std::optional<WordVisual> WordVisualResolver::resolveWord(const QString& key) const
{
    return explainKey(key).visual;
}

WordVisualResolver::Explanation WordVisualResolver::explainWord(QStringView word) const
{
    const QString key = word_forms::visualKey(word);
    if (word_forms::keyLength(key) < word_forms::minimumKeyLength)
        return {key, key, Explanation::Way::tooShort, std::nullopt, {}, 0};
    return explainKey(key);
}

WordVisualResolver::Explanation WordVisualResolver::explainKey(const QString& key) const
{
    using Way = Explanation::Way;
    const Snapshot sources = snapshot();
    const WordEmbedding* embedding = sources.embedding.get();
    Explanation result{key, normalizeWord(key, embedding), Way::none, std::nullopt, {}, 0};
    const QString& word = result.word;
    if (isStopWord(word)) {
        result.way = Way::stopWord;
        return result;
    }
    const auto take = [&result](const Found& found, const QString& via, double distance) {
        result.visual = found.first;
        result.via = via;
        result.distance = distance;
        return result;
    };
    const QStringList forms = word_forms::candidateForms(word);
    for (const QString& form : forms)
        if (auto found = tableOrIndexVisual(form, sources.index)) {
            result.way = found->second;
            return take(*found, form, 0);
        }
    if (!embedding)
        return result;

    for (const QString& form : forms) {
        for (const WordEmbedding::Neighbour& neighbour : embedding->neighbours(form, neighbourCount)) {
            if (!(neighbour.distance < neighbourDistanceLimit))
                continue;
            const QString lower = neighbour.word.toLower();
            if (isStopWord(lower))
                continue;
            if (auto found = tableOrIndexVisual(lower, sources.index)) {
                result.way = Way::neighbour;
                return take(*found, lower, neighbour.distance);
            }
        }
    }

    if (!embedding->contains(word))
        return result;
    double best = 2.0;
    const QString* bestAnchor = nullptr;
    for (const QString& anchor : m_lookup.anchorKeywords()) {
        const double distance = embedding->distance(word, anchor);
        if (distance < best) {
            best = distance;
            bestAnchor = &anchor;
        }
    }
    if (!bestAnchor || !(best < anchorDistanceLimit))
        return result;
    if (auto visual = m_lookup.keywordVisual(*bestAnchor)) {
        result.way = Way::anchor;
        result.visual = std::move(visual);
        result.via = *bestAnchor;
        result.distance = best;
    }
    return result;
}

void WordVisualResolver::prefetch(const QList<TimedWord>& words)
{
    QStringList texts;
    texts.reserve(words.size());
    for (const TimedWord& word : words)
        texts.append(word.text);
    prefetchTexts(texts);
}

void WordVisualResolver::prefetchTexts(const QStringList& texts)
{
    QSet<QString> keys;
    for (const QString& text : texts) {
        QString key = word_forms::visualKey(text);
        if (word_forms::keyLength(key) >= word_forms::minimumKeyLength)
            keys.insert(std::move(key));
    }
    m_worker.start([this, keys] { resolveBatch(keys); });
}

void WordVisualResolver::resolveBatch(const QSet<QString>& keys)
{
    qsizetype fresh = 0;
    for (const QString& key : keys) {
        if (m_stopping)
            return;  // the resolver is going away: nothing more is stored or saved
        {
            const std::lock_guard guard(m_lock);
            if (m_resolved.contains(key))
                continue;
        }
        const QString encoded = encodeVisual(resolveWord(key));
        const std::lock_guard guard(m_lock);
        m_resolved.insert(key, encoded);
        ++fresh;
    }
    if (fresh > 0) {
        saveMemo();
        DiagLog::log(QStringLiteral("word visuals: resolved %1 new words").arg(fresh));
    }
    Q_EMIT prefetchFinished(fresh);
}

void WordVisualResolver::loadIndexes()
{
    const QHash<QString, QString> diskMemo = readMemoFile(m_sources.memoFile).value_or(QHash<QString, QString>());
    QHash<QString, QString> index = readSymbolIndex(m_sources.symbolIndexFile, &symbol_set::symbolExists);
    std::shared_ptr<const WordEmbedding> embedding = WordEmbedding::open(m_sources.embeddingFile);
    const qsizetype indexTerms = index.size();
    const bool embeddingReady = embedding != nullptr;
    // Logged before the results are published, so that whoever sees `loaded` also finds the line.
    DiagLog::log(QStringLiteral("word visuals: apple index %1 terms, embedding %2, disk memo %3 words")
                     .arg(indexTerms)
                     .arg(embeddingReady ? QStringLiteral("ready") : QStringLiteral("missing"))
                     .arg(diskMemo.size()));
    {
        const std::lock_guard guard(m_lock);
        QHash<QString, QString> merged = diskMemo;
        for (auto it = m_resolved.cbegin(); it != m_resolved.cend(); ++it)
            merged.insert(it.key(), it.value());  // what this run already resolved wins
        m_resolved = std::move(merged);
        m_index = std::move(index);
        m_embedding = std::move(embedding);
        m_loaded = true;
    }
    Q_EMIT indexesLoaded(indexTerms, embeddingReady, diskMemo.size());
}

void WordVisualResolver::saveMemo() const
{
    QJsonObject object;
    for (const auto& [key, value] : memoSnapshot().asKeyValueRange())
        object.insert(key, value);
    const WriteResult result = writeFileAtomically(m_sources.memoFile, QJsonDocument(object).toJson(QJsonDocument::Compact));
    if (!result.written)  // the old file stays; the words are resolved again next time
        DiagLog::log(QStringLiteral("word visuals: memo %1 not written: %2").arg(m_sources.memoFile, result.error));
}
