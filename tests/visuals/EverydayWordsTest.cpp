#include "VisualsPrinting.h"
#include "visuals/EmojiKeywords.h"
#include "visuals/KeywordLookup.h"
#include "visuals/KeywordTables.h"
#include "visuals/SymbolSet.h"
#include "visuals/WordVisualResolver.h"
#include "EventLoopWait.h"
#include <QFile>
#include <QFont>
#include <QGlyphRun>
#include <QTemporaryDir>
#include <QTextLayout>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QString withoutSelector(QString text) { return text.remove(QChar(0xFE0F)); }

// A resolver over the real catalog, emoji keywords and embedding, loaded, with a memo of its own.
struct LoadedResolver {
    QTemporaryDir dir;
    WordVisualResolver resolver{{dir.filePath(u"v4.json"_s), symbol_set::searchIndexPath(), ZUVIK_TEST_EMBEDDING_FILE},
                                KeywordLookup::shared()};
    LoadedResolver()
    {
        EXPECT_TRUE(waitFor([this] { return resolver.isLoaded(); }));
    }
};

// Everyday lyric words that no table lists, against the pictures a person accepts for them.
TEST(EverydayWords, MostGetAnAcceptablePictureAndStopWordsNone)
{
    QFile list(QStringLiteral(ZUVIK_EVERYDAY_WORDS));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly | QIODevice::Text));
    LoadedResolver loaded;
    int words = 0, right = 0, pictured = 0;
    for (const QString& line : QString::fromUtf8(list.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(u'\t');
        if (line.startsWith(u'#') || fields.size() != 2)
            continue;
        const QString& word = fields[0];
        const QStringList accepted = withoutSelector(fields[1]).split(u' ', Qt::SkipEmptyParts);
        const bool isStop = accepted == QStringList{u"stop"_s};
        EXPECT_TRUE(isStop || !KeywordLookup::shared().keywordVisual(word)) << word.toStdString() << " is a table word";
        const std::optional<WordVisual> visual = loaded.resolver.resolveWord(word);
        EXPECT_TRUE(!isStop || !visual) << word.toStdString() << " is a stop word";
        ++words;
        pictured += visual.has_value();
        right += visual ? accepted.contains(withoutSelector(visual->value()))
                        : (isStop || accepted.contains(u"none"_s));
    }
    std::printf("everyday words: %d, right %.1f %%, pictured %.1f %%\n", words, 100.0 * right / words,
                100.0 * pictured / words);
    // Aimed at 85 % right; what the list's judgement grants today is the floor, so that it only rises.
    EXPECT_GE(words, 150);
    EXPECT_GE(right, words * 0.75);
    EXPECT_GE(pictured, words * 0.55);
}

// A word a table lists keeps the table's picture, whatever else knows it.
TEST(EverydayWords, TableWordsKeepTheirPicture)
{
    LoadedResolver loaded;
    const KeywordLookup& keywords = KeywordLookup::shared();
    for (const QString& word : keywords.anchorKeywords()) {
        if (keyword_tables::stopWords().contains(word) || keyword_tables::lemmaTable().contains(word))
            continue;  // never pictured, or meant as their base form ("broke")
        EXPECT_EQ(loaded.resolver.resolveWord(word), keywords.keywordVisual(word)) << word.toStdString();
    }
}

// Every emoji a word can get is one picture of the colour emoji font, as its text shaper draws it.
TEST(EverydayWords, EmojiKeywordsOnlyGiveEmojiTheFontDraws)
{
    const QHash<QString, QString> emojiKeywords = emoji_keywords::read(emoji_keywords::resourcePath());
    ASSERT_GT(emojiKeywords.size(), 2000);
    EXPECT_FALSE(emojiKeywords.contains(u"you"_s)) << "a pronoun is no keyword";
    const QFont font(QString::fromUtf16(symbol_set::emojiFontFamily));
    for (const QString& emoji : QSet<QString>(emojiKeywords.cbegin(), emojiKeywords.cend())) {
        QTextLayout layout(withoutSelector(emoji), font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        const QList<QGlyphRun> runs = layout.glyphRuns();
        ASSERT_EQ(runs.size(), 1) << emoji.toStdString();
        EXPECT_TRUE(runs[0].glyphIndexes().size() == 1 && runs[0].glyphIndexes()[0] != 0
                    && runs[0].rawFont().familyName() == font.family())
            << emoji.toStdString();
    }
}

}  // namespace
