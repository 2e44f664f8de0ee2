#include "visuals/Embedding.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

using namespace embedding_format;

namespace {

std::string_view viewOf(const char* strings, const WordEntry& entry)
{
    return {strings + entry.stringOffset, entry.stringLength};
}

bool within(std::uint64_t offset, std::uint64_t count, std::uint64_t itemSize, std::uint64_t fileSize)
{
    return offset % 8 == 0 && offset <= fileSize && count <= (fileSize - offset) / itemSize;
}

}  // namespace

QString WordEmbedding::defaultFilePath()
{
    const QString fromEnvironment = qEnvironmentVariable(fileEnvironmentVariable);
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    // Next to the executable in the build tree; installed, in the data folder that lies the same
    // way from the program's folder under any prefix.
    const QDir programFolder(QCoreApplication::applicationDirPath());
    const QString inBuildTree = programFolder.filePath(QStringLiteral("word-embedding.bin"));
    if (QFileInfo::exists(inBuildTree))
        return inBuildTree;
    return QDir::cleanPath(programFolder.filePath(QStringLiteral(ZUVIK_DATA_FROM_PROGRAM "/word-embedding.bin")));
}

std::unique_ptr<WordEmbedding> WordEmbedding::open(const QString& path)
{
    auto file = std::make_unique<QFile>(path);
    if (path.isEmpty() || !file->open(QIODevice::ReadOnly) || file->size() < qint64(sizeof(Header)))
        return nullptr;
    const uchar* data = file->map(0, file->size());
    if (!data)
        return nullptr;
    Header header;
    std::memcpy(&header, data, sizeof header);
    if (std::memcmp(header.magic, magic, sizeof magic) != 0 || header.version != version
        || header.fileSize != std::uint64_t(file->size()))
        return nullptr;
    std::unique_ptr<WordEmbedding> embedding(new WordEmbedding(std::move(file), data, header));
    if (!embedding->isConsistent())
        return nullptr;
    return embedding;
}

WordEmbedding::WordEmbedding(std::unique_ptr<QFile> file, const uchar* data, const Header& header)
    : m_file(std::move(file))
    , m_data(data)
    , m_header(header)
    , m_words(section<WordEntry>(header.wordsOffset))
    , m_strings(section<char>(header.stringsOffset))
    , m_vectorStarts(section<std::uint32_t>(header.vectorStartsOffset))
    , m_terms(section<Term>(header.termsOffset))
    , m_vectorNames(section<std::uint32_t>(header.vectorNamesOffset))
    , m_postingStarts(section<std::uint32_t>(header.postingStartsOffset))
    , m_postings(section<Posting>(header.postingsOffset))
{}

WordEmbedding::~WordEmbedding() = default;  // the QFile unmaps on close

// Every index in the file points inside it, so that no query can read past the mapping, whatever
// the file holds.
bool WordEmbedding::isConsistent() const
{
    const Header& h = m_header;
    const std::uint64_t size = h.fileSize;
    if (!within(h.wordsOffset, h.wordCount, sizeof(WordEntry), size) || !within(h.stringsOffset, h.stringBytes, 1, size)
        || !within(h.vectorStartsOffset, std::uint64_t(h.vectorCount) + 1, 4, size)
        || !within(h.termsOffset, h.termCount, sizeof(Term), size)
        || !within(h.vectorNamesOffset, h.vectorCount, 4, size)
        || !within(h.postingStartsOffset, std::uint64_t(h.featureCount) + 1, 4, size)
        || !within(h.postingsOffset, h.postingCount, sizeof(Posting), size))
        return false;
    for (std::uint32_t i = 0; i < h.wordCount; ++i) {
        const WordEntry& entry = m_words[i];
        if (std::uint64_t(entry.stringOffset) + entry.stringLength > h.stringBytes || entry.vector >= h.vectorCount)
            return false;
    }
    for (std::uint32_t v = 0; v < h.vectorCount; ++v)
        if (m_vectorStarts[v] > m_vectorStarts[v + 1] || m_vectorNames[v] >= h.wordCount)
            return false;
    if (m_vectorStarts[h.vectorCount] != h.termCount || m_postingStarts[h.featureCount] != h.postingCount)
        return false;
    for (std::uint32_t f = 0; f < h.featureCount; ++f)
        if (m_postingStarts[f] > m_postingStarts[f + 1])
            return false;
    for (std::uint32_t t = 0; t < h.termCount; ++t)
        if (m_terms[t].feature >= h.featureCount)
            return false;
    for (std::uint32_t p = 0; p < h.postingCount; ++p)
        if (m_postings[p].vector >= h.vectorCount)
            return false;
    return true;
}

std::optional<std::uint32_t> WordEmbedding::vectorOf(QStringView word) const
{
    const QByteArray utf8 = word.toUtf8();
    const std::string_view key(utf8.constData(), std::size_t(utf8.size()));
    const WordEntry* end = m_words + m_header.wordCount;
    const WordEntry* it = std::lower_bound(
        m_words, end, key, [this](const WordEntry& entry, std::string_view k) { return viewOf(m_strings, entry) < k; });
    if (it == end || viewOf(m_strings, *it) != key)
        return std::nullopt;
    return it->vector;
}

QString WordEmbedding::wordAt(std::uint32_t entry) const
{
    const std::string_view bytes = viewOf(m_strings, m_words[entry]);
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

bool WordEmbedding::contains(QStringView word) const { return vectorOf(word).has_value(); }

QList<WordEmbedding::Neighbour> WordEmbedding::neighbours(QStringView word, int maxCount) const
{
    const std::optional<std::uint32_t> query = vectorOf(word);
    if (!query || maxCount <= 0)
        return {};
    // Dot products with every lemma that shares a feature, accumulated in a scratch row that is
    // cleared through the list of touched entries (the vocabulary is far larger than that list).
    thread_local std::vector<float> scores;
    thread_local std::vector<std::uint32_t> touched;
    scores.resize(m_header.vectorCount, 0.0f);
    touched.clear();
    for (std::uint32_t t = m_vectorStarts[*query]; t < m_vectorStarts[*query + 1]; ++t) {
        const Term& term = m_terms[t];
        for (std::uint32_t p = m_postingStarts[term.feature]; p < m_postingStarts[term.feature + 1]; ++p) {
            const Posting& posting = m_postings[p];
            if (scores[posting.vector] == 0.0f)
                touched.push_back(posting.vector);
            scores[posting.vector] += term.weight * posting.weight;
        }
    }
    struct Candidate {
        float score;
        std::uint32_t entry;
    };
    std::vector<Candidate> candidates;
    candidates.reserve(touched.size());
    const QByteArray self = word.toUtf8();
    const std::string_view selfBytes(self.constData(), std::size_t(self.size()));
    for (const std::uint32_t v : touched) {
        const std::uint32_t entry = m_vectorNames[v];
        if (scores[v] > 0.0f && viewOf(m_strings, m_words[entry]) != selfBytes)
            candidates.push_back({scores[v], entry});
        scores[v] = 0.0f;
    }
    const auto nearer = [](const Candidate& a, const Candidate& b) {
        return a.score != b.score ? a.score > b.score : a.entry < b.entry;  // entries are in word order
    };
    const std::size_t count = std::min(candidates.size(), std::size_t(maxCount));
    std::partial_sort(candidates.begin(), candidates.begin() + std::ptrdiff_t(count), candidates.end(), nearer);
    QList<Neighbour> result;
    result.reserve(qsizetype(count));
    for (std::size_t i = 0; i < count; ++i)
        result.append({wordAt(candidates[i].entry), std::clamp(1.0 - double(candidates[i].score), 0.0, 1.0)});
    return result;
}

double WordEmbedding::distance(QStringView a, QStringView b) const
{
    const std::optional<std::uint32_t> va = vectorOf(a);
    const std::optional<std::uint32_t> vb = vectorOf(b);
    if (!va || !vb)
        return 2.0;
    // Both term lists are in feature order: one merge.
    std::uint32_t i = m_vectorStarts[*va], iEnd = m_vectorStarts[*va + 1];
    std::uint32_t j = m_vectorStarts[*vb], jEnd = m_vectorStarts[*vb + 1];
    double dot = 0.0;
    while (i < iEnd && j < jEnd) {
        if (m_terms[i].feature < m_terms[j].feature) {
            ++i;
        } else if (m_terms[j].feature < m_terms[i].feature) {
            ++j;
        } else {
            dot += double(m_terms[i].weight) * m_terms[j].weight;
            ++i;
            ++j;
        }
    }
    return std::clamp(1.0 - dot, 0.0, 1.0);
}
