#include "VisualsPrinting.h"
#include "foundation/UserFolders.h"
#include "visuals/KeywordLookup.h"
#include "visuals/KeywordTables.h"
#include "visuals/SymbolSet.h"
#include "visuals/WordForms.h"
#include "visuals/WordVisualResolver.h"
#include "EventLoopWait.h"
#include "LogLines.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

using Way = word_lookup::Explanation::Way;
const QString embeddingFile = QStringLiteral(ZUVIK_TEST_EMBEDDING_FILE);

std::optional<WordVisual> symbol(const char* name) { return WordVisual::symbol(QString::fromUtf8(name)); }

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A dropped g goes back only where the embedding knows the g-form and not the word itself.
TEST(WordLookup, NormalisesAndReadsTheSymbolIndex)
{
    const auto embedding = WordEmbedding::open(embeddingFile);
    ASSERT_TRUE(embedding);
    const std::pair<const char*, const char*> normal[] = {
        {"lovin", "loving"}, {"nothin", "nothing"}, {"cabin", "cabin"}, {"zzzin", "zzzing"},
        {"gon", "go"},       {"in", "in"},          {"sin", "sing"}};
    for (const auto& [key, word] : normal)
        EXPECT_EQ(word_lookup::normalizeWord(QString::fromUtf8(key), embedding.get()), QString::fromUtf8(word)) << key;
    EXPECT_EQ(word_lookup::normalizeWord(u"lovin"_s, nullptr), u"lovin"_s);
    // In the symbol index, shared terms go to the shorter name and other shapes give nothing.
    QTemporaryDir dir;
    const QString path = dir.filePath(u"index.json"_s);
    writeFile(path, R"({"heart.circle.fill":["Love","kiss"],"heart.fill":["love","LIKE"],"text.rtl":["words"],)"
                    R"("globe.ar":["world"],"clock.hi":["time"],"missing.fill":["gone"]})");
    const QHash<QString, QString> index = readSymbolIndex(path,
                                                          [](const QString& name) { return name != u"missing.fill"; });
    EXPECT_EQ(index,
              (QHash<QString, QString>{
                  {u"love"_s, u"heart.fill"_s}, {u"like"_s, u"heart.fill"_s}, {u"kiss"_s, u"heart.circle.fill"_s}}));
    const auto all = [](const QString&) { return true; };
    for (const char* content :
         {R"(["heart.fill"])", R"({"heart.fill":"love"})", R"({"heart.fill":["love",3]})", "not json"}) {
        writeFile(path, content);
        EXPECT_TRUE(readSymbolIndex(path, all).isEmpty()) << content;
    }
    EXPECT_TRUE(readSymbolIndex(dir.filePath(u"none.json"_s), all).isEmpty());
}

// A resolver over the real icon catalog and embedding, with its memo in a private folder.
class Resolver : public ::testing::Test {
protected:
    QString memoPath() const { return m_dir.filePath(u"Orvane/WordVisuals/v5.json"_s); }

    std::unique_ptr<WordVisualResolver> make(const QString& embedding = embeddingFile,
                                             const QString& index = symbol_set::searchIndexPath(),
                                             bool waitForLoad = true)
    {
        auto resolver = std::make_unique<WordVisualResolver>(WordVisualResolver::Sources{memoPath(), index, embedding},
                                                             KeywordLookup::shared());
        QObject::connect(
            resolver.get(), &WordVisualResolver::prefetchFinished, resolver.get(), [this](qsizetype) { ++m_batches; },
            Qt::DirectConnection);
        EXPECT_TRUE(!waitForLoad || waitFor([&] { return resolver->isLoaded(); }));
        return resolver;
    }

    void prefetch(WordVisualResolver& resolver, const QStringList& texts)
    {
        const int before = m_batches;
        resolver.prefetchTexts(texts);
        ASSERT_TRUE(waitFor([&] { return m_batches > before; }, std::chrono::seconds(60)));
    }

    QTemporaryDir m_dir;
    std::atomic<int> m_batches{0};
};

// Each way a word finds its picture, as the memo then answers it and as it is explained.
TEST_F(Resolver, ResolvesEachWordTheWayItExplains)
{
    // The word, its visual as the memo stores it, how it was found and through which word.
    using C = std::tuple<const char*, const char*, Way, const char*>;
    auto resolver = make();
    for (const auto& [word, visual, way, via] : {C{"Love!", "s:heart.fill", Way::table, "love"},
                                                 C{"sad", "e:😢", Way::table, "sad"},
                                                 C{"dancing", "s:figure.dance", Way::table, nullptr},
                                                 C{"lovin'", "s:heart.fill", Way::table, "love"},
                                                 C{"stories", "s:book.fill", Way::neighbour, nullptr},
                                                 C{"snowstorm", "s:snowflake", Way::symbolCatalog, "snowstorm"},
                                                 C{"autumn", "e:🍂", Way::emojiKeyword, "autumn"},
                                                 C{"sunshine", "e:☀️", Way::emojiKeyword, "sunshine"},
                                                 C{"falling", "s:arrow.down.circle.fill", Way::table, "fall"},
                                                 C{"tearful", "e:🥲", Way::emojiKeyword, "tear"},
                                                 C{"sadness", "e:😢", Way::table, "sad"},
                                                 C{"grief", "e:💔", Way::neighbour, "heartbreak"},
                                                 C{"sorrow", "e:😢", Way::anchor, "sad"},
                                                 C{"dagger", "e:🗡️", Way::emojiKeyword, "dagger"},
                                                 C{"vessel", "s:sailboat.fill", Way::anchor, "boat"},
                                                 C{"tryna", "", Way::stopWord, nullptr},
                                                 C{"Nothin'", "", Way::stopWord, nullptr},
                                                 C{"nose", "e:👃", Way::emojiKeyword, "nose"},
                                                 C{"zzzz", "", Way::none, nullptr},
                                                 C{"me", "", Way::tooShort, nullptr},
                                                 C{"😢😢", "", Way::tooShort, nullptr},
                                                 C{"24/7", "", Way::tooShort, nullptr}}) {
        prefetch(*resolver, {QString::fromUtf8(word)});
        const auto explanation = resolver->explainWord(QString::fromUtf8(word));
        EXPECT_EQ(resolver->visual(QString::fromUtf8(word)), decodeVisual(QString::fromUtf8(visual))) << word;
        EXPECT_EQ(explanation.visual, decodeVisual(QString::fromUtf8(visual))) << word;
        EXPECT_EQ(explanation.way, way) << word;
        EXPECT_TRUE(!via || explanation.via == QString::fromUtf8(via))
            << word << " via " << explanation.via.toStdString();
        EXPECT_EQ(explanation.distance > 0, via && (way == Way::neighbour || way == Way::anchor)) << word;
    }
    EXPECT_EQ(resolver->memoSnapshot().value(u"nothin"_s, u"absent"_s), QString());
}

TEST_F(Resolver, BeforeTheLoadOnlyTheTablesAnswer)
{
    // The icon index is a FIFO: the load waits in it until the test writes, so "before" is certain.
    const QString index = m_dir.filePath(u"index.json"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(index).constData(), 0600), 0);
    auto resolver = make(embeddingFile, index, false);
    EXPECT_TRUE(resolver->visual(u"fire") == symbol("flame.fill") && resolver->visual(u"snowstorm") == std::nullopt
                && resolver->visual(u"autumn") == std::nullopt);  // no index or emoji keywords yet
    EXPECT_TRUE(resolver->normalizeWord(u"lovin"_s) == u"lovin"_s && !resolver->isLoaded());
    QFile catalog(symbol_set::searchIndexPath());
    ASSERT_TRUE(catalog.open(QIODevice::ReadOnly));
    writeFile(index, catalog.readAll());
    ASSERT_TRUE(waitFor([&] { return resolver->isLoaded(); }));
    EXPECT_EQ(resolver->visual(u"snowstorm"), symbol("snowflake")) << "the quick answer now uses the index";
    EXPECT_EQ(resolver->visual(u"autumn"), WordVisual::emoji(u"🍂"_s)) << "and the emoji keywords";
    EXPECT_FALSE(resolver->memoSnapshot().contains(u"snowstorm"_s)) << "a quick answer is not memoised";
}

// Without the embedding unknown words get nothing; a memo that cannot be written stays in memory.
TEST_F(Resolver, WithoutTheEmbeddingOrAWritableMemoTheTablesStillAnswer)
{
    ASSERT_TRUE(QDir().mkpath(memoPath()));  // a folder where the file should be
    LogLines log;
    auto resolver = make(u"/nonexistent/word-embedding.bin"_s);
    prefetch(*resolver, {u"sorrow"_s, u"fire"_s});
    EXPECT_TRUE(resolver->visual(u"sorrow") == std::nullopt && resolver->visual(u"fire") == symbol("flame.fill"));
    const QStringList lines = log.newMessages();
    EXPECT_EQ(lines.filter(u" terms, embedding missing, disk memo 0 words"_s).size(), 1);
    EXPECT_EQ(lines.filter(u"word visuals: memo %1 not written: "_s.arg(memoPath())).size(), 1);
}

// New words are saved once; the memo wins over the tables and comes back after a restart.
TEST_F(Resolver, TheMemoIsSavedOnceAndSurvivesARestart)
{
    writeFile(memoPath(), R"({"love":"x:abc","fire":""})");
    {
        LogLines log;
        auto first = make();
        EXPECT_TRUE(first->visual(u"love") == std::nullopt
                    && first->visual(u"fire") == std::nullopt);  // over the tables
        prefetch(*first, {u"snowstorm"_s, u"Snowstorm"_s, u"sad"_s, u"zzzz"_s, u"me"_s, u"fire"_s});
        const QStringList lines = log.newMessages();
        EXPECT_TRUE(lines.contains(u"word visuals: resolved 3 new words"_s)) << lines.join(u'\n').toStdString();
        const qsizetype terms = readSymbolIndex(symbol_set::searchIndexPath(), &symbol_set::symbolExists).size();
        EXPECT_TRUE(
            lines.contains(u"word visuals: apple index %1 terms, embedding ready, disk memo 2 words"_s.arg(terms)));
        ASSERT_TRUE(QFile::remove(memoPath()));
        prefetch(*first, {u"SNOWSTORM!"_s, u"up"_s});
        EXPECT_FALSE(QFile::exists(memoPath())) << "nothing new, nothing saved";
        prefetch(*first, {u"rain"_s});
    }
    QFile raw(memoPath());
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_TRUE(raw.readAll().contains("e:\xF0\x9F\x98\xA2")) << "emoji written as characters";
    LogLines log;
    auto second = make();
    EXPECT_EQ(log.newMessages().filter(u"disk memo 6 words"_s).size(), 1);
    EXPECT_EQ(second->visual(u"snowstorm"), symbol("snowflake"));
    EXPECT_EQ(readMemoFile(memoPath()).value_or(QHash<QString, QString>()).value(u"rain"_s), u"s:cloud.rain.fill"_s);
}

// Everyday lyric words no table lists, against the pictures a person accepts for them (U+FE0F aside);
// and every word a table lists keeps the table's picture.
TEST_F(Resolver, PicturesEverydayWordsAsAPersonWouldAndKeepsTableWords)
{
    QFile list(QStringLiteral(ZUVIK_EVERYDAY_WORDS));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    auto resolver = make();
    const auto plain = [](QString text) { return text.remove(QChar(0xFE0F)); };
    int words = 0, right = 0, pictured = 0;
    for (const QString& line : QString::fromUtf8(list.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(u'\t'), accepted = plain(fields.value(1)).split(u' ');
        if (line.startsWith(u'#') || fields.size() != 2)
            continue;
        const bool isStop = accepted == QStringList{u"stop"_s};
        EXPECT_TRUE(isStop || !KeywordLookup::shared().keywordVisual(fields[0])) << fields[0].toStdString();
        const std::optional<WordVisual> visual = resolver->resolveWord(fields[0]);
        EXPECT_TRUE(!isStop || !visual) << fields[0].toStdString() << " is a stop word";
        ++words;
        pictured += visual.has_value();
        right += visual ? accepted.contains(plain(visual->value())) : isStop || accepted.contains(u"none"_s);
    }
    std::printf("everyday words: %d, right %.1f %%, pictured %.1f %%\n", words, 100.0 * right / words,
                100.0 * pictured / words);
    // Aimed at 85 % right; what the list's judgement grants today is the floor, so that it only rises.
    EXPECT_TRUE(words >= 150 && right >= words * 0.76 && pictured >= words * 0.55);
    for (const QString& word : KeywordLookup::shared().anchorKeywords()) {
        if (keyword_tables::stopWords().contains(word) || keyword_tables::lemmaTable().contains(word))
            continue;  // never pictured, or meant as their base form ("broke")
        EXPECT_EQ(resolver->resolveWord(word), KeywordLookup::shared().keywordVisual(word)) << word.toStdString();
    }
}

// Taking the default sources removes the memos of older rules, and nothing else, beside the memo.
TEST(DefaultSources, RemoveTheMemosOfOlderRulesOnly)
{
    const QDir folder = QFileInfo(UserFolders::wordVisualMemoFile()).dir();
    ASSERT_TRUE(folder.mkpath(u"."_s));
    for (const char* name : {"v3.json", "v4.json", "v5.json", "notes.json"})
        writeFile(folder.filePath(QLatin1String(name)), "{}");
    EXPECT_EQ(WordVisualResolver::defaultSources().memoFile, UserFolders::wordVisualMemoFile());
    EXPECT_EQ(folder.entryList(QDir::Files, QDir::Name), (QStringList{u"notes.json"_s, u"v5.json"_s}));
}

class BadMemoFile : public Resolver, public ::testing::WithParamInterface<QByteArray> {};
TEST_P(BadMemoFile, StartsEmptyAndIsOverwrittenAtTheNextSave)
{
    // An empty parameter stands for a valid memo one byte past the 16 MiB cap.
    writeFile(memoPath(), GetParam().isEmpty()
                              ? QByteArray(R"({"love":"x:abc"})").leftJustified(16 * 1024 * 1024 + 1, ' ')
                              : GetParam());
    LogLines log;
    auto resolver = make();
    EXPECT_TRUE(log.newMessages().filter(u"disk memo 0 words"_s).size() == 1 && resolver->memoSnapshot().isEmpty());
    prefetch(*resolver, {u"love"_s});
    QFile saved(memoPath());
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), R"({"love":"s:heart.fill"})");
}
INSTANTIATE_TEST_SUITE_P(Files, BadMemoFile,
                         ::testing::Values(R"(["love","s:heart.fill"])", R"({"love":"s:heart.fill","sad":3})",
                                           "\xff\xfe garbage {", R"("s:heart.fill")", QByteArray()));

// Odd words resolve as their keys do, while another thread reads; destroyed with work queued, it does not hang.
TEST_F(Resolver, WordsOfAnyShapeWhileItWorksAndAsItGoes)
{
    auto resolver = make();
    QStringList song{
        QString(500, u'x'), QString(500, u'a') + u"ing"_s,     QString(250, u'愛'),        u"👨‍👩‍👧"_s,
        u"любовь"_s,        QString(QChar(0xD800)) + u"abc"_s, u"e\u0301e\u0301e\u0301"_s, QString(),
        u"fire"_s};
    for (int i = 0; i < 300; ++i)
        song.append(u"word%1"_s.arg(QChar(u'a' + i % 26)) + QString(i / 26 + 1, u'q'));
    std::atomic<bool> done{false};
    std::thread reader([&] {
        while (!done)
            EXPECT_EQ(resolver->visual(u"fire"), symbol("flame.fill"));
    });
    resolver->prefetchTexts(song.mid(0, 150));
    prefetch(*resolver, song);
    ASSERT_TRUE(waitFor([&] { return m_batches >= 2; }, std::chrono::seconds(60)));
    done = true;
    reader.join();
    EXPECT_EQ(readMemoFile(memoPath()).value_or(QHash<QString, QString>()), resolver->memoSnapshot());
    for (const QString& word : song) {
        const QString key = word_forms::visualKey(word);
        const bool memoised = word_forms::keyLength(key) >= 3;
        EXPECT_EQ(resolver->visual(word), memoised ? resolver->resolveWord(key) : std::nullopt) << word.toStdString();
        EXPECT_EQ(resolver->memoSnapshot().contains(key), memoised) << word.toStdString();
    }
    resolver->prefetchTexts(song);
    resolver->prefetchTexts(song);
    resolver.reset();
}

}  // namespace
