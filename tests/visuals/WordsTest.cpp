#include "VisualsPrinting.h"
#include "visuals/KeywordLookup.h"
#include "visuals/KeywordTables.h"
#include "visuals/WordForms.h"
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using namespace word_forms;

// The lookup as if every symbol could be drawn, and with two symbols missing.
TEST(KeywordLookup, SymbolBeforeEmojiExactlyAndAMissingSymbolLetsTheEmojiThrough)
{
    const KeywordLookup all([](const QString&) { return true; });
    EXPECT_EQ(all.keywordVisual(u"baby"_s), WordVisual::symbol(u"person.spatialaudio.fill"_s));
    EXPECT_EQ(all.keywordVisual(u"sad"_s), WordVisual::emoji(u"😢"_s));
    EXPECT_EQ(all.keywordVisual(u"Love"_s), std::nullopt) << "exact, case-sensitive";
    EXPECT_EQ(all.keywordVisual(u"puppy"_s), std::nullopt);
    const qsizetype symbols = keyword_tables::symbolKeywords().size();
    EXPECT_EQ(all.anchorKeywords().size(), symbols + keyword_tables::emojiKeywords().size());
    EXPECT_EQ(all.anchorKeywords().first(), keyword_tables::symbolKeywords().first().key);
    EXPECT_EQ(all.anchorKeywords().last(), keyword_tables::emojiKeywords().last().key);

    const KeywordLookup some([](const QString& name) { return name != u"umbrella.fill" && name != u"heart.fill"; });
    EXPECT_EQ(some.keywordVisual(u"umbrella"_s), WordVisual::emoji(u"☂️"_s));
    EXPECT_EQ(some.keywordVisual(u"love"_s), std::nullopt);
    EXPECT_EQ(some.symbolKeywordCount(), symbols - 17);  // umbrella and heart's 16 keywords
    EXPECT_FALSE(some.anchorKeywords().contains(u"love"_s));
}

TEST(WordVisualCoding, EncodesAndDecodes)
{
    for (const auto& visual : {WordVisual::symbol(u"heart.fill"_s), WordVisual::emoji(u"😢"_s)})
        EXPECT_EQ(decodeVisual(encodeVisual(visual)), visual);
    EXPECT_EQ(encodeVisual(WordVisual::symbol(u"heart.fill"_s)), u"s:heart.fill"_s);
    EXPECT_EQ(encodeVisual(WordVisual::emoji(u"😢"_s)), u"e:😢"_s);
    EXPECT_EQ(encodeVisual(std::nullopt), QString());
    for (const char16_t* other : {u"x:abc", u"", u"S:heart.fill"})
        EXPECT_EQ(decodeVisual(other), std::nullopt);
}

TEST(VisualKey, KeepsLowerCaseLettersAndCountsUserPerceivedCharacters)
{
    const std::pair<const char*, const char*> keys[] = {{"Love!", "love"},
                                                        {"Don't", "dont"},
                                                        {"nothin'", "nothin"},
                                                        {"24/7", ""},
                                                        {"rock-n-roll", "rocknroll"},  // ASCII
                                                        {"  sky  ", "sky"},
                                                        {"love😢", "love"},
                                                        {"cafe\xcc\x81", "cafe"},  // a combining accent is no letter
                                                        {"ÉTÉ", "été"},
                                                        {"Straße", "straße"},
                                                        {"ΑΓΑΠΗ", "αγαπη"},
                                                        {"愛してる", "愛してる"},
                                                        {"İstanbul", "istanbul"}};
    for (const auto& [text, key] : keys)
        EXPECT_EQ(visualKey(QString::fromUtf8(text)), QString::fromUtf8(key)) << text;
    EXPECT_EQ(keyLength(u"sky"), 3);
    EXPECT_EQ(keyLength(u"愛して"), 3);
    EXPECT_EQ(keyLength(QString::fromUcs4(U"\U0001D49C\U0001D49D")), 2) << "letters outside the BMP count once";
}

TEST(CandidateForms, StripOneSuffixAndTryItsStems)
{
    const std::pair<const char*, QStringList> cases[] = {
        {"stars", {"stars", "star"}},
        {"dancing", {"dancing", "danc", "dance"}},
        {"loved", {"loved", "lov", "love"}},
        {"running", {"running", "runn", "runne", "run"}},
        {"stopped", {"stopped", "stopp", "stoppe", "stop"}},  // doubled
        {"passing", {"passing", "pass", "passe", "pas"}},
        {"bring", {"bring", "br", "bre"}},
        {"seed", {"seed", "se", "see"}},
        {"bed", {"bed"}},
        {"sing", {"sing"}},
        {"ing", {"ing"}},
        {"kisses", {"kisses", "kisse"}},
        {"ss", {"ss"}}};
    for (const auto& [word, forms] : cases)
        EXPECT_EQ(candidateForms(QString::fromUtf8(word)), forms) << word;
    const QString word = QString::fromUcs4(U"\U0001D49C\U0001D49C\U0001D49Cing");  // cut by code point
    const QString stem = QString::fromUcs4(U"\U0001D49C\U0001D49C\U0001D49C");
    EXPECT_EQ(candidateForms(word), (QStringList{word, stem, stem + u'e', stem.chopped(2)}));
    EXPECT_EQ(candidateForms(QString(500, u'a') + u"ing"_s).last(), QString(499, u'a'));
}
