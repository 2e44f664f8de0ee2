#pragma once

#include "lyrics/TimedLyrics.h"
#include "visuals/Embedding.h"
#include "visuals/EmojiKeywords.h"
#include "visuals/VisualFiles.h"
#include "visuals/WordLookup.h"
#include "visuals/WordVisual.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QThreadPool>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

class KeywordLookup;

// Decides which pictogram goes with a lyric word. `visual` answers on the GUI thread from memory;
// `prefetch` resolves a song's words ahead of time on a low-priority worker thread through the
// keyword tables, the icon catalog's search terms and the word embedding (see word_lookup), and
// memoises every result (no visual included) in memory and in a JSON file, so a word is resolved
// once per machine.
class WordVisualResolver : public QObject {
    Q_OBJECT
public:
    struct Sources {
        QString memoFile;  // the memo; its folder is created when the resolver is made
        QString symbolIndexFile;  // JSON object: symbol name -> array of search terms
        QString embeddingFile;  // see WordEmbedding; a missing file means "embedding missing"
        QString emojiKeywordFile = emoji_keywords::resourcePath();  // see emoji_keywords
    };
    // UserFolders::wordVisualMemoFile() (removing the memos of older rules beside it), the icon
    // catalog compiled into the resources, and WordEmbedding::defaultFilePath().
    static Sources defaultSources();

    using Explanation = word_lookup::Explanation;

    // Starts loading the memo, the index and the embedding on the worker at once. `keywords`
    // must outlive the resolver.
    WordVisualResolver(Sources sources, const KeywordLookup& keywords, QObject* parent = nullptr);
    // Drops queued work, lets a running batch stop at its next word, and waits for it.
    ~WordVisualResolver() override;

    // GUI thread, never waits for the worker: the memoised result, or else a quick answer from the
    // tables and the index alone (not memoised). Keys under 3 characters give none.
    std::optional<WordVisual> visual(QStringView word) const;
    // Any thread, returns at once: resolves the words' keys not yet memoised on the worker, then
    // saves the memo and logs the count if any was new.
    void prefetch(const QList<TimedWord>& words);
    void prefetchTexts(const QStringList& texts);

    // The steps of resolution over what is loaded so far, public so that they can be checked.
    QString normalizeWord(const QString& key) const;
    std::optional<WordVisual> resolveWord(const QString& key) const;
    // resolveWord with its reasons; takes a word as written (it makes the key itself).
    Explanation explainWord(QStringView word) const;

    bool isLoaded() const;
    QHash<QString, QString> memoSnapshot() const;
    const QString& memoFile() const { return m_sources.memoFile; }

Q_SIGNALS:
    // Emitted from the worker thread (connect with a queued or auto connection).
    void indexesLoaded(qsizetype indexTerms, bool embeddingReady, qsizetype diskMemoWords);
    // After each prefetch batch, also when nothing was new (newWords 0).
    void prefetchFinished(qsizetype newWords);

private:
    struct Snapshot {
        QHash<QString, QString> index;
        QHash<QString, QString> emojiKeywords;
        std::shared_ptr<const WordEmbedding> embedding;
    };

    void loadIndexes();
    void resolveBatch(const QSet<QString>& keys);
    void saveMemo() const;
    Snapshot snapshot() const;
    Explanation explainKey(const QString& key) const;

    const Sources m_sources;
    const KeywordLookup& m_keywords;

    mutable std::mutex m_lock;  // guards the five below; held for look-ups, copies and single stores only
    QHash<QString, QString> m_resolved;
    QHash<QString, QString> m_index;
    QHash<QString, QString> m_emojiKeywords;
    std::shared_ptr<const WordEmbedding> m_embedding;
    bool m_loaded = false;

    std::atomic<bool> m_stopping{false};
    QThreadPool m_worker;  // one low-priority thread: loading first, then one batch at a time
};
