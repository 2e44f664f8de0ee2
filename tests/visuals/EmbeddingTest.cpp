#include "VisualsPrinting.h"
#include "visuals/Embedding.h"
#include "visuals/EmbeddingFormat.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

const QString embeddingFile = QStringLiteral(ZUVIK_TEST_EMBEDDING_FILE);

const WordEmbedding& realEmbedding()
{
    static const std::unique_ptr<WordEmbedding> embedding = WordEmbedding::open(embeddingFile);
    return embedding ? *embedding : throw std::runtime_error("the built word embedding does not open");
}

// The related word is among the nearest 20, in order; a smaller count is a prefix. A damaged file does not open.
TEST(Embedding, NeighboursAreTheNearestWordsInOrderAndADamagedFileDoesNotOpen)
{
    const std::pair<const char*, const char*> related[] = {{"puppy", "dog"}, {"sorrow", "grief"}, {"cars", "car"}};
    for (const auto& [word, near] : related) {
        const auto neighbours = realEmbedding().neighbours(QString::fromUtf8(word), 20);
        ASSERT_EQ(neighbours.size(), 20) << word;
        bool found = false;
        for (qsizetype i = 0; i < neighbours.size(); ++i) {
            found = found || (neighbours[i].word == QString::fromUtf8(near) && neighbours[i].distance < 0.9);
            EXPECT_TRUE(neighbours[i].word != QString::fromUtf8(word) && neighbours[i].distance >= 0
                        && neighbours[i].distance <= 1
                        && (i == 0 || neighbours[i - 1].distance <= neighbours[i].distance))
                << word;
            EXPECT_NEAR(neighbours[i].distance, realEmbedding().distance(QString::fromUtf8(word), neighbours[i].word),
                        1e-5);
        }
        EXPECT_TRUE(found) << word << " " << near;
    }
    const auto five = realEmbedding().neighbours(u"love"_s, 5);
    EXPECT_TRUE(five.size() == 5 && five.last().word == realEmbedding().neighbours(u"love"_s, 20)[4].word);
    EXPECT_TRUE(realEmbedding().neighbours(u"love"_s, 0).isEmpty()
                && realEmbedding().neighbours(u"lovin"_s, 20).isEmpty());
    const WordEmbedding& embedding = realEmbedding();
    EXPECT_TRUE(embedding.contains(u"loving") && !embedding.contains(u"lovin") && !embedding.contains(u"Love"));
    EXPECT_NEAR(embedding.distance(u"love", u"love"), 0.0, 1e-5);
    EXPECT_NEAR(embedding.distance(u"cars", u"car"), 0.0, 1e-5) << "an inflected form shares its base's vector";
    EXPECT_DOUBLE_EQ(embedding.distance(u"puppy", u"dog"), embedding.distance(u"dog", u"puppy"));
    EXPECT_LT(embedding.distance(u"puppy", u"dog"), embedding.distance(u"puppy", u"galaxy"));
    EXPECT_TRUE(embedding.distance(u"love", u"lovin") == 2.0 && embedding.distance(u"", u"") == 2.0);
    qputenv(WordEmbedding::fileEnvironmentVariable, "/somewhere/else.bin");
    EXPECT_EQ(WordEmbedding::defaultFilePath(), u"/somewhere/else.bin"_s);
    qunsetenv(WordEmbedding::fileEnvironmentVariable);
    EXPECT_TRUE(WordEmbedding::defaultFilePath().endsWith(u"/word-embedding.bin"_s));
    EXPECT_EQ(WordEmbedding::open(u"/nonexistent/word-embedding.bin"_s), nullptr);
    EXPECT_EQ(WordEmbedding::open(QString()), nullptr);
    QFile real(embeddingFile);
    ASSERT_TRUE(real.open(QIODevice::ReadOnly));
    const QByteArray bytes = real.readAll();
    embedding_format::Header header;
    std::memcpy(&header, bytes.constData(), sizeof header);
    const auto patched = [&bytes](qsizetype at, std::uint32_t value) {
        QByteArray copy = bytes;
        std::memcpy(copy.data() + at, &value, 4);
        return copy;
    };
    QByteArray otherFormat = bytes, otherVersion = bytes;
    otherFormat[0] = 'X';
    otherVersion[8] = char(99);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"damaged.bin"_s);
    for (const QByteArray& damaged :
         {QByteArray(), bytes.first(bytes.size() / 2), otherFormat, otherVersion, bytes + QByteArray(8, '\0'),
          patched(header.vectorStartsOffset + 4, header.termCount + 1000),  // a vector past the terms
          patched(header.postingsOffset, header.vectorCount)}) {  // a posting to no vector
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(damaged);
        file.close();
        EXPECT_EQ(WordEmbedding::open(path), nullptr) << damaged.size();
    }
}

}  // namespace
