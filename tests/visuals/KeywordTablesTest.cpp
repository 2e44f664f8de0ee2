#include "VisualsPrinting.h"
#include "visuals/KeywordLookup.h"
#include "visuals/KeywordTables.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

using namespace keyword_tables;

namespace {

QSet<QString> keysOf(const QList<Row>& rows)
{
    QSet<QString> keys;
    for (const Row& row : rows)
        keys.insert(row.key);
    return keys;
}

QSet<QString> valuesOf(const QList<Row>& rows)
{
    QSet<QString> values;
    for (const Row& row : rows)
        values.insert(row.value);
    return values;
}

bool isLowerAscii(const QString& word)
{
    static const QRegularExpression pattern(QStringLiteral("^[a-z]+$"));
    return pattern.match(word).hasMatch();
}

}  // namespace

TEST(KeywordTables, SymbolTableHas679UniqueKeywordsFor254Names)
{
    EXPECT_EQ(symbolKeywords().size(), 679);
    EXPECT_EQ(keysOf(symbolKeywords()).size(), 679);
    EXPECT_EQ(valuesOf(symbolKeywords()).size(), 254);
}

TEST(KeywordTables, EmojiTableHas198UniqueKeywordsFor171Emoji)
{
    EXPECT_EQ(emojiKeywords().size(), 198);
    EXPECT_EQ(keysOf(emojiKeywords()).size(), 198);
    EXPECT_EQ(valuesOf(emojiKeywords()).size(), 171);
}

TEST(KeywordTables, LemmaAndStopWordCounts)
{
    EXPECT_EQ(lemmaRows().size(), 32);
    EXPECT_EQ(lemmaTable().size(), 32);
    EXPECT_EQ(stopWordList().size(), 286);
    EXPECT_EQ(stopWords().size(), 286);
    EXPECT_EQ(stemSuffixes(), (QStringList{QStringLiteral("s"), QStringLiteral("ing"), QStringLiteral("ed")}));
}

TEST(KeywordTables, EveryKeyIsLowerCaseAscii)
{
    for (const QList<Row>* rows : {&symbolKeywords(), &emojiKeywords(), &lemmaRows()})
        for (const Row& row : *rows) {
            EXPECT_TRUE(isLowerAscii(row.key)) << row.key.toStdString();
            EXPECT_FALSE(row.value.isEmpty()) << row.key.toStdString();
        }
    for (const Row& row : lemmaRows())
        EXPECT_TRUE(isLowerAscii(row.value)) << row.value.toStdString();
    for (const QString& word : stopWordList())
        EXPECT_TRUE(isLowerAscii(word)) << word.toStdString();
}

TEST(KeywordTables, FourKeywordsStandInBothTables)
{
    const QSet<QString> shared = keysOf(symbolKeywords()) & keysOf(emojiKeywords());
    EXPECT_EQ(shared, (QSet<QString>{QStringLiteral("baby"), QStringLiteral("muscle"), QStringLiteral("speaker"),
                                     QStringLiteral("umbrella")}));
}

TEST(KeywordTables, FiveStopWordsAreSymbolKeywords)
{
    const QSet<QString> overlap = keysOf(symbolKeywords()) & stopWords();
    EXPECT_EQ(overlap, (QSet<QString>{QStringLiteral("always"), QStringLiteral("done"), QStringLiteral("everybody"),
                                      QStringLiteral("everyone"), QStringLiteral("hell")}));
}

TEST(KeywordTables, TableOrderIsKept)
{
    EXPECT_EQ(symbolKeywords().first().key, QStringLiteral("love"));
    EXPECT_EQ(symbolKeywords().last().key, QStringLiteral("waste"));
    EXPECT_EQ(emojiKeywords().first().key, QStringLiteral("sad"));
    EXPECT_EQ(emojiKeywords().last().key, QStringLiteral("confetti"));
    EXPECT_EQ(stopWordList().first(), QStringLiteral("the"));
    EXPECT_EQ(stopWordList().last(), QStringLiteral("liking"));
    EXPECT_EQ(lemmaTable().value(QStringLiteral("tryna")), QStringLiteral("try"));
    EXPECT_EQ(lemmaTable().value(QStringLiteral("shone")), QStringLiteral("shine"));
}

TEST(KeywordTables, FamilyIsTheJoinedSequence)
{
    QString family;
    for (const Row& row : emojiKeywords())
        if (row.key == u"family")
            family = row.value;
    EXPECT_EQ(family.toUcs4(), (QList<uint>{0x1F468, 0x200D, 0x1F469, 0x200D, 0x1F467}));
}

TEST(KeywordTables, VariationSelectorsAreKept)
{
    QHash<QString, QString> emoji;
    for (const Row& row : emojiKeywords())
        emoji.insert(row.key, row.value);
    EXPECT_EQ(emoji.value(QStringLiteral("peace")).toUcs4(), (QList<uint>{0x270C, 0xFE0F}));
    EXPECT_EQ(emoji.value(QStringLiteral("sad")).toUcs4(), (QList<uint>{0x1F622}));
    EXPECT_EQ(emoji.value(QStringLiteral("prison")), emoji.value(QStringLiteral("jail")));
}

// The lookup over all symbols, as if every one could be drawn.
TEST(KeywordLookup, SymbolComesBeforeEmoji)
{
    const KeywordLookup lookup([](const QString&) { return true; });
    EXPECT_EQ(lookup.keywordVisual(QStringLiteral("baby")), WordVisual::symbol(QStringLiteral("person.spatialaudio.fill")));
    EXPECT_EQ(lookup.keywordVisual(QStringLiteral("always")), WordVisual::symbol(QStringLiteral("infinity")));
    EXPECT_EQ(lookup.keywordVisual(QStringLiteral("sad")), WordVisual::emoji(QStringLiteral("😢")));
    EXPECT_EQ(lookup.keywordVisual(QStringLiteral("Love")), std::nullopt) << "exact, case-sensitive";
    EXPECT_EQ(lookup.keywordVisual(QStringLiteral("puppy")), std::nullopt);
    EXPECT_EQ(lookup.anchorKeywords().size(), 679 + 198);
}

TEST(KeywordLookup, MissingSymbolDropsItsKeywordsAndLetsTheEmojiThrough)
{
    const KeywordLookup lookup([](const QString& name) { return name != u"umbrella.fill" && name != u"heart.fill"; });
    EXPECT_EQ(lookup.keywordVisual(QStringLiteral("umbrella")), WordVisual::emoji(QStringLiteral("☂️")));
    EXPECT_EQ(lookup.keywordVisual(QStringLiteral("love")), std::nullopt);
    EXPECT_EQ(lookup.symbolKeywordCount(), 679 - 1 - 16);
    EXPECT_EQ(lookup.anchorKeywords().size(), 679 - 17 + 198);
    EXPECT_FALSE(lookup.anchorKeywords().contains(QStringLiteral("love")));
}

TEST(WordVisualCoding, EncodesAndDecodes)
{
    EXPECT_EQ(encodeVisual(WordVisual::symbol(QStringLiteral("heart.fill"))), QStringLiteral("s:heart.fill"));
    EXPECT_EQ(encodeVisual(WordVisual::emoji(QStringLiteral("😢"))), QStringLiteral("e:😢"));
    EXPECT_EQ(encodeVisual(std::nullopt), QString());
    EXPECT_EQ(decodeVisual(u"s:heart.fill"), WordVisual::symbol(QStringLiteral("heart.fill")));
    EXPECT_EQ(decodeVisual(u"e:😢"), WordVisual::emoji(QStringLiteral("😢")));
    EXPECT_EQ(decodeVisual(u"x:abc"), std::nullopt);
    EXPECT_EQ(decodeVisual(u""), std::nullopt);
    EXPECT_EQ(decodeVisual(u"S:heart.fill"), std::nullopt);
}
