#include "VisualsPrinting.h"
#include "visuals/Embedding.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>

namespace {

const QString embeddingFile = QStringLiteral(ZUVIK_TEST_EMBEDDING_FILE);

const WordEmbedding& realEmbedding()
{
    static const std::unique_ptr<WordEmbedding> embedding = WordEmbedding::open(embeddingFile);
    if (!embedding)
        throw std::runtime_error("the built word embedding does not open");
    return *embedding;
}

QStringList wordsOf(const QList<WordEmbedding::Neighbour>& neighbours)
{
    QStringList words;
    for (const auto& neighbour : neighbours)
        words.append(neighbour.word);
    return words;
}

QByteArray realBytes()
{
    QFile file(embeddingFile);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

TEST(Embedding, HoldsTheEnglishVocabularyWithInflections)
{
    const WordEmbedding& embedding = realEmbedding();
    EXPECT_GT(embedding.wordCount(), 100000);
    for (const char* word : {"love", "puppy", "automobile", "sorrow", "cabin", "nothing", "loving", "cars", "ran", "children"})
        EXPECT_TRUE(embedding.contains(QString::fromUtf8(word))) << word;
    for (const char* word : {"lovin", "cabing", "", "Love", "ice_cream", "zzzzqx", "愛", "love "})
        EXPECT_FALSE(embedding.contains(QString::fromUtf8(word))) << word;
}

struct NearCase {
    const char* word;
    const char* neighbour;
};
class EmbeddingNeighbours : public ::testing::TestWithParam<NearCase> {};
TEST_P(EmbeddingNeighbours, FindsTheRelatedWordAmongTheNearest20)
{
    const auto neighbours = realEmbedding().neighbours(QString::fromUtf8(GetParam().word), 20);
    const qsizetype at = wordsOf(neighbours).indexOf(QString::fromUtf8(GetParam().neighbour));
    ASSERT_GE(at, 0) << wordsOf(neighbours).join(u' ').toStdString();
    EXPECT_LT(neighbours[at].distance, 0.9);
}
INSTANTIATE_TEST_SUITE_P(Meaning, EmbeddingNeighbours, ::testing::Values(
    NearCase{"puppy", "dog"}, NearCase{"automobile", "car"}, NearCase{"sorrow", "grief"},
    NearCase{"ocean", "sea"}, NearCase{"cars", "car"}, NearCase{"sunshine", "sun"}, NearCase{"tears", "weep"}));

TEST(Embedding, NeighboursAreNearestFirstWithinRangeAndNeverTheWordItself)
{
    for (const char* word : {"love", "run", "happy", "night", "cars"}) {
        const auto neighbours = realEmbedding().neighbours(QString::fromUtf8(word), 20);
        ASSERT_EQ(neighbours.size(), 20) << word;
        for (qsizetype i = 0; i < neighbours.size(); ++i) {
            EXPECT_GE(neighbours[i].distance, 0.0);
            EXPECT_LE(neighbours[i].distance, 1.0);
            EXPECT_NE(neighbours[i].word, QString::fromUtf8(word));
            if (i > 0) {
                EXPECT_LE(neighbours[i - 1].distance, neighbours[i].distance) << word;
            }
            EXPECT_NEAR(neighbours[i].distance, realEmbedding().distance(QString::fromUtf8(word), neighbours[i].word), 1e-5);
        }
    }
}

TEST(Embedding, NeighbourCountIsAMaximum)
{
    EXPECT_EQ(realEmbedding().neighbours(QStringLiteral("love"), 3).size(), 3);
    EXPECT_TRUE(realEmbedding().neighbours(QStringLiteral("love"), 0).isEmpty());
    EXPECT_TRUE(realEmbedding().neighbours(QStringLiteral("lovin"), 20).isEmpty());
    EXPECT_EQ(wordsOf(realEmbedding().neighbours(QStringLiteral("love"), 5)),
              wordsOf(realEmbedding().neighbours(QStringLiteral("love"), 20)).first(5));
}

TEST(Embedding, DistanceIsSymmetricAndBounded)
{
    const WordEmbedding& embedding = realEmbedding();
    EXPECT_NEAR(embedding.distance(u"love", u"love"), 0.0, 1e-5);
    EXPECT_NEAR(embedding.distance(u"cars", u"car"), 0.0, 1e-5) << "an inflected form shares its base's vector";
    EXPECT_DOUBLE_EQ(embedding.distance(u"puppy", u"dog"), embedding.distance(u"dog", u"puppy"));
    EXPECT_LT(embedding.distance(u"puppy", u"dog"), embedding.distance(u"puppy", u"galaxy"));
    EXPECT_LT(embedding.distance(u"sorrow", u"sad"), 0.88);
    EXPECT_DOUBLE_EQ(embedding.distance(u"love", u"lovin"), 2.0);
    EXPECT_DOUBLE_EQ(embedding.distance(u"", u""), 2.0);
}

TEST(Embedding, FilePathComesFromTheEnvironmentWhenSet)
{
    qputenv(WordEmbedding::fileEnvironmentVariable, "/somewhere/else.bin");
    EXPECT_EQ(WordEmbedding::defaultFilePath(), QStringLiteral("/somewhere/else.bin"));
    qunsetenv(WordEmbedding::fileEnvironmentVariable);
    EXPECT_TRUE(WordEmbedding::defaultFilePath().endsWith(QStringLiteral("/word-embedding.bin")));
}

class DamagedEmbeddingFile : public ::testing::TestWithParam<int> {};
TEST_P(DamagedEmbeddingFile, DoesNotOpen)
{
    QByteArray bytes = realBytes();
    ASSERT_FALSE(bytes.isEmpty());
    switch (GetParam()) {
    case 0: bytes.clear(); break;                                   // empty
    case 1: bytes.truncate(bytes.size() / 2); break;               // cut short
    case 2: bytes[0] = 'X'; break;                                  // another format
    case 3: bytes[8] = char(99); break;                             // another version
    case 4: bytes.append(8, '\0'); break;                           // longer than its header says
    case 5: {                                                       // a vector start past the terms
        embedding_format::Header header;
        std::memcpy(&header, bytes.constData(), sizeof header);
        const std::uint32_t past = header.termCount + 1000;
        std::memcpy(bytes.data() + header.vectorStartsOffset + 4, &past, 4);
        break;
    }
    case 6: {                                                       // a posting for a vector that does not exist
        embedding_format::Header header;
        std::memcpy(&header, bytes.constData(), sizeof header);
        const std::uint32_t missing = header.vectorCount;
        std::memcpy(bytes.data() + header.postingsOffset, &missing, 4);
        break;
    }
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("damaged.bin"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    EXPECT_EQ(WordEmbedding::open(path), nullptr);
}
INSTANTIATE_TEST_SUITE_P(Files, DamagedEmbeddingFile, ::testing::Range(0, 7));

TEST(Embedding, MissingFileDoesNotOpen)
{
    EXPECT_EQ(WordEmbedding::open(QStringLiteral("/nonexistent/word-embedding.bin")), nullptr);
    EXPECT_EQ(WordEmbedding::open(QString()), nullptr);
}
