#include "visuals/WordVisualResolver.h"

#include "foundation/UserFolders.h"

#include "foundation/DiagLog.h"
#include "lyrics/LyricsCache.h"
#include "visuals/SymbolSet.h"
#include "visuals/WordForms.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <utility>

WordVisualResolver::Sources WordVisualResolver::defaultSources()
{
    const QString memoFile = UserFolders::wordVisualMemoFile();
    // Memos of older rules are never read again.
    const QDir memoFolder = QFileInfo(memoFile).dir();
    for (const char* older : {"v3.json", "v4.json"})
        QFile::remove(memoFolder.filePath(QLatin1String(older)));
    return {memoFile, symbol_set::searchIndexPath(), WordEmbedding::defaultFilePath()};
}

WordVisualResolver::WordVisualResolver(Sources sources, const KeywordLookup& keywords, QObject* parent)
    : QObject(parent)
    , m_sources(std::move(sources))
    , m_keywords(keywords)
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
    return {m_index, m_emojiKeywords, m_embedding};  // shared, not copied element by element
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

std::optional<WordVisual> WordVisualResolver::visual(QStringView word) const
{
    const QString key = word_forms::visualKey(word);
    if (word_forms::keyLength(key) < word_forms::minimumKeyLength)
        return std::nullopt;
    QHash<QString, QString> index;
    QHash<QString, QString> emojiKeywords;
    std::shared_ptr<const WordEmbedding> embedding;
    {
        const std::lock_guard guard(m_lock);
        if (const auto it = m_resolved.constFind(key); it != m_resolved.cend())
            return decodeVisual(*it);
        index = m_index;
        emojiKeywords = m_emojiKeywords;
        embedding = m_embedding;
    }
    // Not resolved yet: tables, index and emoji keywords only; the neighbour and anchor steps wait for
    // prefetch.
    return word_lookup::quickVisual(key, {m_keywords, index, emojiKeywords, embedding.get()});
}

QString WordVisualResolver::normalizeWord(const QString& key) const
{
    return word_lookup::normalizeWord(key, snapshot().embedding.get());
}

std::optional<WordVisual> WordVisualResolver::resolveWord(const QString& key) const { return explainKey(key).visual; }

WordVisualResolver::Explanation WordVisualResolver::explainWord(QStringView word) const
{
    const QString key = word_forms::visualKey(word);
    if (word_forms::keyLength(key) < word_forms::minimumKeyLength)
        return {key, key, Explanation::Way::tooShort, std::nullopt, {}, 0};
    return explainKey(key);
}

WordVisualResolver::Explanation WordVisualResolver::explainKey(const QString& key) const
{
    const Snapshot sources = snapshot();
    return word_lookup::explainKey(key, {m_keywords, sources.index, sources.emojiKeywords, sources.embedding.get()});
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
    emoji_keywords::Nearness nearness;
    if (embedding)
        nearness = [&embedding](const QString& a, const QString& b) { return embedding->distance(a, b); };
    QHash<QString, QString> emojiKeywords = emoji_keywords::read(m_sources.emojiKeywordFile, nearness);
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
        m_emojiKeywords = std::move(emojiKeywords);
        m_embedding = std::move(embedding);
        m_loaded = true;
    }
    Q_EMIT indexesLoaded(indexTerms, embeddingReady, diskMemo.size());
}

void WordVisualResolver::saveMemo() const
{
    // On failure the old file stays; the words are resolved again next time.
    if (const auto error = writeMemoFile(m_sources.memoFile, memoSnapshot()))
        DiagLog::log(QStringLiteral("word visuals: memo %1 not written: %2").arg(m_sources.memoFile, *error));
}
