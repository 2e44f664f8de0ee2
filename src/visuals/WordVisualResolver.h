#pragma once

#include "lyrics/TimedLyrics.h"
#include "visuals/Embedding.h"
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
// keyword tables, the icon catalog's search terms and the word embedding, and memoises every result
// (no visual included) in memory and in a JSON file, so a word is resolved once per machine.
class WordVisualResolver : public QObject {
    Q_OBJECT
public:
    struct Sources {
        QString memoFile;         // the memo; its folder is created when the resolver is made
        QString symbolIndexFile;  // JSON object: symbol name -> array of search terms
        QString embeddingFile;    // see WordEmbedding; a missing file means "embedding missing"
    };
    // "Orvane/WordVisuals/v3.json" under the user's cache folder, the icon catalog compiled into the
    // resources, and WordEmbedding::defaultFilePath().
    static Sources defaultSources();

    // A memo file larger than this is not read (and is replaced at the next save).
    static constexpr qint64 memoFileSizeCap = 16 * 1024 * 1024;
    static constexpr int neighbourCount = 20;
    static constexpr double neighbourDistanceLimit = 0.9;  // a neighbour is used below this
    static constexpr double anchorDistanceLimit = 0.88;    // the best anchor is used below this

    // Starts loading the memo, the index and the embedding on the worker at once.
    explicit WordVisualResolver(Sources sources, QObject* parent = nullptr);
    // Drops queued work, lets a running batch stop at its next word, and waits for it.
    ~WordVisualResolver() override;

    // GUI thread, never waits for the worker: the memoised result, or else a quick answer from the
    // tables and the index alone (not memoised). Keys under 3 characters give none.
    std::optional<WordVisual> visual(QStringView word) const;
    // Any thread, returns at once: resolves the words' keys not yet memoised on the worker, then
    // saves the memo and logs the count if any was new.
    void prefetch(const QList<TimedWord>& words);
    void prefetchTexts(const QStringList& texts);

    // How a word's pictogram was found, for a user asking why a picture was chosen.
    struct Explanation {
        enum class Way { table, symbolCatalog, neighbour, anchor, stopWord, tooShort, none };
        QString key;    // the memo key (word_forms::visualKey)
        QString word;   // the key normalised (lemma, dropped g)
        Way way = Way::none;
        std::optional<WordVisual> visual;
        QString via;          // the word form, neighbour or anchor whose entry gave the visual
        double distance = 0;  // for a neighbour or an anchor
    };

    // The steps of resolution, public so that they can be checked one by one.
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
        std::shared_ptr<const WordEmbedding> embedding;
    };

    void loadIndexes();
    void resolveBatch(const QSet<QString>& keys);
    void saveMemo() const;
    Snapshot snapshot() const;
    using Found = std::pair<WordVisual, Explanation::Way>;
    std::optional<Found> tableOrIndexVisual(const QString& form, const QHash<QString, QString>& index) const;
    Explanation explainKey(const QString& key) const;
    QString normalizeWord(const QString& key, const WordEmbedding* embedding) const;

    const Sources m_sources;
    const KeywordLookup& m_lookup;

    mutable std::mutex m_lock;  // guards the four below; held for look-ups, copies and single stores only
    QHash<QString, QString> m_resolved;
    QHash<QString, QString> m_index;
    std::shared_ptr<const WordEmbedding> m_embedding;
    bool m_loaded = false;

    std::atomic<bool> m_stopping{false};
    QThreadPool m_worker;  // one low-priority thread: loading first, then one batch at a time
};

// The memo file's content as a dictionary; none unless it is a JSON object whose values are all
// strings and the file is at most WordVisualResolver::memoFileSizeCap bytes.
std::optional<QHash<QString, QString>> readMemoFile(const QString& path);
// The search index from the icon catalog: terms lower-cased, names sorted shortest first so that a
// term shared by several symbols maps to the shortest name; names containing ".ar", ".hi" or "rtl"
// and names that fail symbolExists contribute nothing. Empty when the file is missing or malformed.
QHash<QString, QString> readSymbolIndex(const QString& path, const std::function<bool(const QString&)>& symbolExists);
