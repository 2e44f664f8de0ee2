#include "VisualsPrinting.h"
#include "visuals/SymbolSet.h"
#include "visuals/WordForms.h"
#include "visuals/WordVisualResolver.h"

#include "EventLoopWait.h"
#include "LogLines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <thread>

namespace {

const QString embeddingFile = QStringLiteral(ZUVIK_TEST_EMBEDDING_FILE);

std::optional<WordVisual> symbol(const char* name) { return WordVisual::symbol(QString::fromUtf8(name)); }
std::optional<WordVisual> emoji(const char* text) { return WordVisual::emoji(QString::fromUtf8(text)); }

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QJsonObject readJsonObject(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

// A resolver over the real icon catalog and embedding, with its memo in a private folder.
class Resolver : public ::testing::Test {
protected:
    QString memoPath() const { return m_dir.filePath(QStringLiteral("Orvane/WordVisuals/v3.json")); }

    std::unique_ptr<WordVisualResolver> make(const QString& embedding = embeddingFile,
                                             const QString& index = symbol_set::searchIndexPath())
    {
        auto resolver = std::make_unique<WordVisualResolver>(WordVisualResolver::Sources{memoPath(), index, embedding});
        QObject::connect(resolver.get(), &WordVisualResolver::prefetchFinished, resolver.get(),
                         [this](qsizetype) { ++m_batches; }, Qt::DirectConnection);
        return resolver;
    }

    std::unique_ptr<WordVisualResolver> makeLoaded(const QString& embedding = embeddingFile)
    {
        auto resolver = make(embedding);
        EXPECT_TRUE(waitFor([&] { return resolver->isLoaded(); }));
        return resolver;
    }

    // Prefetches and waits until that batch has finished.
    void prefetch(WordVisualResolver& resolver, const QStringList& texts)
    {
        const int before = m_batches;
        resolver.prefetchTexts(texts);
        ASSERT_TRUE(waitFor([&] { return m_batches > before; }, std::chrono::seconds(60)));
    }

    QTemporaryDir m_dir;
    std::atomic<int> m_batches{0};
};

}  // namespace

struct WordCase {
    const char* word;
    std::optional<WordVisual> visual;
};
class ResolvedWord : public Resolver, public ::testing::WithParamInterface<WordCase> {};
TEST_P(ResolvedWord, AfterPrefetch)
{
    auto resolver = makeLoaded();
    const QString word = QString::fromUtf8(GetParam().word);
    prefetch(*resolver, {word});
    EXPECT_EQ(resolver->visual(word), GetParam().visual);
}
INSTANTIATE_TEST_SUITE_P(Words, ResolvedWord, ::testing::Values(
    WordCase{"Love!", symbol("heart.fill")}, WordCase{"LOVE", symbol("heart.fill")},
    WordCase{"baby", symbol("person.spatialaudio.fill")}, WordCase{"broke", symbol("heart.slash.fill")},
    WordCase{"tryna", std::nullopt}, WordCase{"always", std::nullopt}, WordCase{"me", std::nullopt},
    WordCase{"up", std::nullopt}, WordCase{"oh", std::nullopt}, WordCase{"Nothin'", std::nullopt},
    WordCase{"stars", symbol("sparkles")} /* a keyword itself */, WordCase{"stories", symbol("book.fill")}, WordCase{"dancing", symbol("figure.dance")},
    WordCase{"sad", emoji("😢")}, WordCase{"umbrella", symbol("umbrella.fill")},
    WordCase{"nose", std::nullopt} /* its symbol has no icon and no emoji stands in */,
    WordCase{"lovin'", symbol("heart.fill")} /* loving, then love */,
    WordCase{"puppy", symbol("dog.fill")}, WordCase{"automobile", symbol("car.fill")},
    WordCase{"sorrow", emoji("😢")}, WordCase{"😢😢", std::nullopt}, WordCase{"24/7", std::nullopt}));

TEST_F(Resolver, BeforeTheLoadOnlyTheTablesAnswer)
{
    // The icon index is a FIFO: the load waits in it until the test writes, so "before" is certain.
    // (The memo is not: a FIFO there is passed over, as a kept file never blocks.)
    const QString index = m_dir.filePath(QStringLiteral("index.json"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(index).constData(), 0600), 0);
    auto resolver = make(embeddingFile, index);
    EXPECT_EQ(resolver->visual(u"fire"), symbol("flame.fill"));
    EXPECT_EQ(resolver->visual(u"puppy"), std::nullopt) << "known only to the icon catalog";
    EXPECT_EQ(resolver->normalizeWord(QStringLiteral("lovin")), QStringLiteral("lovin")) << "no dropped-g rule yet";
    EXPECT_FALSE(resolver->isLoaded());
    QFile catalog(symbol_set::searchIndexPath());
    ASSERT_TRUE(catalog.open(QIODevice::ReadOnly));
    writeFile(index, catalog.readAll());
    ASSERT_TRUE(waitFor([&] { return resolver->isLoaded(); }));
    EXPECT_EQ(resolver->visual(u"puppy"), symbol("dog.fill")) << "the quick answer now uses the index";
    EXPECT_FALSE(resolver->memoSnapshot().contains(QStringLiteral("puppy"))) << "a quick answer is not memoised";
}

TEST_F(Resolver, DroppedGNeedsTheEmbedding)
{
    auto resolver = makeLoaded();
    EXPECT_EQ(resolver->normalizeWord(QStringLiteral("lovin")), QStringLiteral("loving"));
    EXPECT_EQ(resolver->normalizeWord(QStringLiteral("nothin")), QStringLiteral("nothing"));
    EXPECT_EQ(resolver->normalizeWord(QStringLiteral("cabin")), QStringLiteral("cabin"));
    EXPECT_EQ(resolver->normalizeWord(QStringLiteral("zzzin")), QStringLiteral("zzzing")) << "unknown either way";
    EXPECT_EQ(resolver->normalizeWord(QStringLiteral("gon")), QStringLiteral("go"));
    EXPECT_EQ(resolver->normalizeWord(QStringLiteral("in")), QStringLiteral("in")) << "known, and ing is not";
    EXPECT_EQ(resolver->normalizeWord(QStringLiteral("sin")), QStringLiteral("sing")) << "both known: the g-form";

    auto without = makeLoaded(QStringLiteral("/nonexistent/word-embedding.bin"));
    EXPECT_EQ(without->normalizeWord(QStringLiteral("lovin")), QStringLiteral("lovin"));
    EXPECT_EQ(without->normalizeWord(QStringLiteral("cabin")), QStringLiteral("cabin"));
}

TEST_F(Resolver, NothinIsMemoisedAsNoVisual)
{
    auto resolver = makeLoaded();
    prefetch(*resolver, {QStringLiteral("Nothin'")});
    EXPECT_EQ(resolver->memoSnapshot().value(QStringLiteral("nothin"), QStringLiteral("absent")), QString());
    EXPECT_EQ(readJsonObject(memoPath()).value(QStringLiteral("nothin")).toString(QStringLiteral("absent")), QString());
}

TEST_F(Resolver, WithoutTheEmbeddingUnknownWordsGetNothing)
{
    LogLines log;
    auto resolver = makeLoaded(QStringLiteral("/nonexistent/word-embedding.bin"));
    prefetch(*resolver, {QStringLiteral("sorrow"), QStringLiteral("fire")});
    EXPECT_EQ(resolver->visual(u"sorrow"), std::nullopt);
    EXPECT_EQ(resolver->visual(u"fire"), symbol("flame.fill"));
    EXPECT_TRUE(log.newMessages().filter(QStringLiteral("word visuals: apple index ")).first().contains(
        QStringLiteral(" terms, embedding missing, disk memo 0 words")));
}

TEST_F(Resolver, LoadLineCountsIndexTermsAndDiskMemo)
{
    QDir().mkpath(QFileInfo(memoPath()).absolutePath());
    writeFile(memoPath(), R"({"love":"s:heart.fill","sad":"e:😢","zzzz":""})");
    LogLines log;
    auto resolver = makeLoaded();
    const qsizetype terms = readSymbolIndex(symbol_set::searchIndexPath(), &symbol_set::symbolExists).size();
    EXPECT_TRUE(log.newMessages().contains(
        QStringLiteral("word visuals: apple index %1 terms, embedding ready, disk memo 3 words").arg(terms)));
    EXPECT_EQ(resolver->visual(u"zzzz"), std::nullopt);
    EXPECT_EQ(resolver->visual(u"Sad"), emoji("😢"));
}

TEST_F(Resolver, MemoValueWithAnotherPrefixIsNoVisual)
{
    QDir().mkpath(QFileInfo(memoPath()).absolutePath());
    writeFile(memoPath(), R"({"love":"x:abc","fire":""})");
    auto resolver = makeLoaded();
    EXPECT_EQ(resolver->visual(u"love"), std::nullopt);
    EXPECT_EQ(resolver->visual(u"fire"), std::nullopt) << "the memo wins over the tables";
}

TEST_F(Resolver, ResolvedWordsAreNotResolvedAgainNorSaved)
{
    auto resolver = makeLoaded();
    prefetch(*resolver, {QStringLiteral("zzzz"), QStringLiteral("fire"), QStringLiteral("me")});
    EXPECT_EQ(resolver->memoSnapshot().size(), 2) << "a two-letter word is never memoised";
    ASSERT_TRUE(QFile::remove(memoPath()));
    LogLines log;
    prefetch(*resolver, {QStringLiteral("ZZZZ"), QStringLiteral("fire!"), QStringLiteral("up")});
    EXPECT_FALSE(QFile::exists(memoPath()));
    EXPECT_TRUE(log.newMessages().filter(QStringLiteral("word visuals: resolved")).isEmpty());
}

TEST_F(Resolver, NewWordsAreLoggedAndSaved)
{
    auto resolver = makeLoaded();
    LogLines log;
    prefetch(*resolver, {QStringLiteral("fire"), QStringLiteral("Fire"), QStringLiteral("rain"), QStringLiteral("zzzz")});
    EXPECT_TRUE(log.newMessages().contains(QStringLiteral("word visuals: resolved 3 new words")));
    const QJsonObject saved = readJsonObject(memoPath());
    EXPECT_EQ(saved.value(QStringLiteral("fire")).toString(), QStringLiteral("s:flame.fill"));
    EXPECT_EQ(saved.value(QStringLiteral("rain")).toString(), QStringLiteral("s:cloud.rain.fill"));
    EXPECT_EQ(saved.size(), 3);
}

TEST_F(Resolver, MemoSurvivesARestart)
{
    {
        auto first = makeLoaded();
        prefetch(*first, {QStringLiteral("puppy"), QStringLiteral("sad"), QStringLiteral("zzzz")});
    }
    QFile raw(memoPath());
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_TRUE(raw.readAll().contains("e:\xF0\x9F\x98\xA2")) << "emoji written as characters";

    LogLines loadLog;
    auto second = makeLoaded();
    EXPECT_EQ(loadLog.newMessages().filter(QStringLiteral("disk memo 3 words")).size(), 1);
    EXPECT_EQ(second->memoSnapshot().value(QStringLiteral("puppy")), QStringLiteral("s:dog.fill"));
    EXPECT_EQ(second->visual(u"sad"), emoji("😢"));
    LogLines log;
    prefetch(*second, {QStringLiteral("puppy"), QStringLiteral("fire")});
    EXPECT_TRUE(log.newMessages().contains(QStringLiteral("word visuals: resolved 1 new words")));
    EXPECT_EQ(readJsonObject(memoPath()).size(), 4);
}

class BadMemoFile : public Resolver, public ::testing::WithParamInterface<int> {};
TEST_P(BadMemoFile, StartsEmptyAndIsOverwrittenAtTheNextSave)
{
    QDir().mkpath(QFileInfo(memoPath()).absolutePath());
    switch (GetParam()) {
    case 0: writeFile(memoPath(), R"(["love","s:heart.fill"])"); break;
    case 1: writeFile(memoPath(), R"({"love":"s:heart.fill","sad":3})"); break;
    case 2: writeFile(memoPath(), R"({"love":{"s":"heart.fill"}})"); break;
    case 3: writeFile(memoPath(), "\xff\xfe garbage {"); break;
    case 4: writeFile(memoPath(), R"("s:heart.fill")"); break;
    case 5: {
        writeFile(memoPath(), R"({"love":"x:abc"})");
        QFile big(memoPath());
        ASSERT_TRUE(big.resize(100 * 1024 * 1024));  // 100 MB, sparse
        break;
    }
    }
    LogLines log;
    auto resolver = makeLoaded();
    EXPECT_EQ(log.newMessages().filter(QStringLiteral("disk memo 0 words")).size(), 1);
    EXPECT_TRUE(resolver->memoSnapshot().isEmpty());
    prefetch(*resolver, {QStringLiteral("love")});
    EXPECT_EQ(QFileInfo(memoPath()).size(), qint64(sizeof(R"({"love":"s:heart.fill"})") - 1));
    EXPECT_EQ(readJsonObject(memoPath()).value(QStringLiteral("love")).toString(), QStringLiteral("s:heart.fill"));
}
INSTANTIATE_TEST_SUITE_P(Files, BadMemoFile, ::testing::Range(0, 6));

TEST_F(Resolver, MemoFolderThatCannotBeWrittenKeepsTheMemoInMemory)
{
    QDir().mkpath(QFileInfo(memoPath()).absolutePath());
    ASSERT_TRUE(QDir().mkpath(memoPath()));  // a folder where the file should be
    auto resolver = makeLoaded();
    prefetch(*resolver, {QStringLiteral("fire")});
    EXPECT_EQ(resolver->visual(u"fire"), symbol("flame.fill"));
    EXPECT_TRUE(QFileInfo(memoPath()).isDir());
}

TEST_F(Resolver, WordsOfAnyShapeDoNotBreakIt)
{
    auto resolver = makeLoaded();
    const QStringList words{QString(500, u'x'), QString(500, u'a') + QStringLiteral("ing"),
                            QString(250, u'愛'), QStringLiteral("😢🔥💀"), QStringLiteral("👨‍👩‍👧"),
                            QStringLiteral("любовь"), QStringLiteral("حب"), QStringLiteral("사랑해요"),
                            QStringLiteral("ลูกสุนัข"), QString(QChar(0xD800)) + QStringLiteral("abc"),
                            QStringLiteral("e\u0301e\u0301e\u0301"), QString(), QStringLiteral("\t\n")};
    prefetch(*resolver, words);
    for (const QString& word : words) {
        const QString key = word_forms::visualKey(word);
        const auto expected = word_forms::keyLength(key) < 3 ? std::nullopt : resolver->resolveWord(key);
        EXPECT_EQ(resolver->visual(word), expected) << word.toStdString();
    }
    EXPECT_EQ(resolver->visual(QStringLiteral("😢🔥💀")), std::nullopt);
    EXPECT_EQ(resolver->visual(QString(500, u'x')), std::nullopt);
}

TEST_F(Resolver, VisualRunsWhilePrefetchResolves)
{
    auto resolver = makeLoaded();
    QStringList song;
    for (int i = 0; i < 300; ++i)
        song.append(QStringLiteral("word%1").arg(QChar(u'a' + i % 26)) + QString(i / 26 + 1, u'q'));
    song << QStringLiteral("puppy") << QStringLiteral("fire") << QStringLiteral("sorrow") << QStringLiteral("lovin");
    std::atomic<bool> done{false};
    std::atomic<int> reads{0};
    std::thread reader([&] {
        while (!done) {
            for (const QString& word : {QStringLiteral("puppy"), QStringLiteral("fire"), QStringLiteral("lovin")}) {
                const auto visual = resolver->visual(word);
                if (word == u"fire" && visual != symbol("flame.fill"))
                    ADD_FAILURE() << "fire lost its visual";
                ++reads;
            }
        }
    });
    std::thread second([&] { resolver->prefetchTexts(song.mid(0, 150)); });
    prefetch(*resolver, song);
    second.join();
    ASSERT_TRUE(waitFor([&] { return m_batches >= 2; }, std::chrono::seconds(60)));
    done = true;
    reader.join();
    EXPECT_GT(reads, 0);
    const QHash<QString, QString> memo = resolver->memoSnapshot();
    EXPECT_EQ(memo.size(), song.size());
    EXPECT_EQ(readJsonObject(memoPath()).size(), song.size());
    EXPECT_EQ(resolver->visual(u"puppy"), symbol("dog.fill"));
    EXPECT_EQ(resolver->visual(u"lovin"), symbol("heart.fill"));
}

TEST_F(Resolver, DestroyedWhileWorkIsQueued)
{
    QStringList song;
    for (int i = 0; i < 2000; ++i)
        song.append(QStringLiteral("zz") + QString::number(i, 26).replace(u'0', u'k'));
    {
        auto resolver = make();
        resolver->prefetchTexts(song);
        resolver->prefetchTexts(song);
    }  // must not hang or crash; a cut-short batch stores and saves nothing more
    SUCCEED();
}

TEST(SymbolIndexFile, SharedTermGoesToTheShorterName)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("index.json"));
    writeFile(path, R"({"heart.circle.fill":["Love","kiss"],"heart.fill":["love","LIKE"],"text.rtl":["words"],)"
                    R"("globe.ar":["world"],"clock.hi":["time"],"missing.fill":["gone"]})");
    const QHash<QString, QString> index =
        readSymbolIndex(path, [](const QString& name) { return name != u"missing.fill"; });
    EXPECT_EQ(index.value(QStringLiteral("love")), QStringLiteral("heart.fill"));
    EXPECT_EQ(index.value(QStringLiteral("like")), QStringLiteral("heart.fill"));
    EXPECT_EQ(index.value(QStringLiteral("kiss")), QStringLiteral("heart.circle.fill"));
    EXPECT_FALSE(index.contains(QStringLiteral("words")));
    EXPECT_FALSE(index.contains(QStringLiteral("world")));
    EXPECT_FALSE(index.contains(QStringLiteral("time")));
    EXPECT_FALSE(index.contains(QStringLiteral("gone")));
    EXPECT_EQ(index.size(), 3);
}

TEST(SymbolIndexFile, AnotherShapeGivesAnEmptyIndex)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("index.json"));
    const auto all = [](const QString&) { return true; };
    for (const QByteArray& content : {QByteArray(R"(["heart.fill"])"), QByteArray(R"({"heart.fill":"love"})"),
                                      QByteArray(R"({"heart.fill":["love",3]})"), QByteArray("not json")}) {
        writeFile(path, content);
        EXPECT_TRUE(readSymbolIndex(path, all).isEmpty()) << content.toStdString();
    }
    EXPECT_TRUE(readSymbolIndex(dir.filePath(QStringLiteral("none.json")), all).isEmpty());
}

// Why a word got its picture: each way, and the explanation always agreeing with resolveWord.
struct ExplainCase {
    const char* word;
    WordVisualResolver::Explanation::Way way;
    const char* via;  // nullptr: not checked
};
class ExplainedWord : public Resolver, public ::testing::WithParamInterface<ExplainCase> {};
TEST_P(ExplainedWord, SaysHowItWasFound)
{
    auto resolver = makeLoaded();
    const QString word = QString::fromUtf8(GetParam().word);
    const auto explanation = resolver->explainWord(word);
    EXPECT_EQ(explanation.way, GetParam().way);
    if (GetParam().via)
        EXPECT_EQ(explanation.via, QString::fromUtf8(GetParam().via));
    EXPECT_EQ(explanation.visual, resolver->resolveWord(explanation.key));
    const bool distanceMatters = explanation.way == WordVisualResolver::Explanation::Way::neighbour
                                 || explanation.way == WordVisualResolver::Explanation::Way::anchor;
    if (distanceMatters)
        EXPECT_GT(explanation.distance, 0.0);
    EXPECT_EQ(explanation.visual.has_value(), explanation.way <= WordVisualResolver::Explanation::Way::anchor);
}
using Way = WordVisualResolver::Explanation::Way;
INSTANTIATE_TEST_SUITE_P(Words, ExplainedWord, ::testing::Values(
    ExplainCase{"Love!", Way::table, "love"}, ExplainCase{"sad", Way::table, "sad"},
    ExplainCase{"lovin'", Way::table, "love"}, ExplainCase{"crying", Way::table, "cry"},
    ExplainCase{"puppy", Way::symbolCatalog, "puppy"}, ExplainCase{"automobile", Way::neighbour, "car"},
    ExplainCase{"sorrow", Way::anchor, "sad"}, ExplainCase{"the", Way::stopWord, nullptr},
    ExplainCase{"tryna", Way::stopWord, nullptr}, ExplainCase{"me", Way::tooShort, nullptr},
    ExplainCase{"heartbreak", Way::none, nullptr}, ExplainCase{"24/7", Way::tooShort, nullptr}));

TEST_F(Resolver, WithoutTheEmbeddingOnlyTablesAndCatalogExplain)
{
    auto resolver = makeLoaded(m_dir.filePath(QStringLiteral("missing.bin")));
    EXPECT_EQ(resolver->explainWord(u"love").way, Way::table);
    EXPECT_EQ(resolver->explainWord(u"automobile").way, Way::none);
}
