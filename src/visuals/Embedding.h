#pragma once

#include "visuals/EmbeddingFormat.h"

#include <QFile>
#include <QList>
#include <QString>
#include <QStringView>

#include <memory>
#include <optional>

// The English word embedding: WordNet lemmas (and their inflected forms) as sparse vectors over
// synsets, precomputed by zuvik-make-embedding and memory-mapped read-only. Cosine distances lie in
// 0...1 (1 for words that share nothing). Immutable once open, so any thread may query it.
class WordEmbedding {
public:
    struct Neighbour {
        QString word;
        double distance;
        friend bool operator==(const Neighbour&, const Neighbour&) = default;
    };

    // Environment variable naming the file; overrides the place next to the executable.
    static constexpr const char* fileEnvironmentVariable = "ZUVIK_WORD_EMBEDDING";
    // $ZUVIK_WORD_EMBEDDING when set, else "word-embedding.bin" next to the running executable (the
    // build tree), else in the installed data folder (share/zuvik beside the program's bin).
    static QString defaultFilePath();

    // Maps the file and checks its layout; none when it is missing, truncated or of another version.
    static std::unique_ptr<WordEmbedding> open(const QString& path);
    ~WordEmbedding();
    WordEmbedding(const WordEmbedding&) = delete;
    WordEmbedding& operator=(const WordEmbedding&) = delete;

    qsizetype wordCount() const { return qsizetype(m_header.wordCount); }
    bool contains(QStringView word) const;
    // At most maxCount other words by cosine distance, nearest first; ties in word order. Found through
    // the inverted feature index: only words sharing a feature with `word` are ever looked at.
    QList<Neighbour> neighbours(QStringView word, int maxCount) const;
    // Cosine distance of two words; 2.0 when either is unknown (farther than any two known words).
    double distance(QStringView a, QStringView b) const;

private:
    WordEmbedding(std::unique_ptr<QFile> file, const uchar* data, const embedding_format::Header& header);
    bool isConsistent() const;
    std::optional<std::uint32_t> vectorOf(QStringView word) const;
    QString wordAt(std::uint32_t entry) const;

    template <typename T> const T* section(std::uint64_t offset) const
    {
        return reinterpret_cast<const T*>(m_data + offset);
    }

    std::unique_ptr<QFile> m_file;
    const uchar* m_data;
    embedding_format::Header m_header;
    const embedding_format::WordEntry* m_words;
    const char* m_strings;
    const std::uint32_t* m_vectorStarts;
    const embedding_format::Term* m_terms;
    const std::uint32_t* m_vectorNames;
    const std::uint32_t* m_postingStarts;
    const embedding_format::Posting* m_postings;
};
