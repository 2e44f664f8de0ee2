#include "VisualsPrinting.h"
#include "visuals/EmojiKeywords.h"
#include "visuals/KeywordLookup.h"
#include "visuals/KeywordTables.h"
#include "visuals/WordForms.h"
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using namespace word_forms;

// The lookup as if every symbol could be drawn, and with two symbols missing.
TEST(Words, LookupKeysAndFormsOfAWord)
{
    const KeywordLookup all([](const QString&) { return true; });
    EXPECT_EQ(all.keywordVisual(u"baby"_s), WordVisual::symbol(u"person.spatialaudio.fill"_s));
    EXPECT_EQ(all.keywordVisual(u"sad"_s), WordVisual::emoji(u"😢"_s));
    EXPECT_EQ(all.keywordVisual(u"Love"_s), std::nullopt) << "exact, case-sensitive";
    const qsizetype symbols = keyword_tables::symbolKeywords().size();
    EXPECT_EQ(all.anchorKeywords().size(), symbols + keyword_tables::emojiKeywords().size());
    EXPECT_EQ(all.anchorKeywords().first(), keyword_tables::symbolKeywords().first().key);
    EXPECT_EQ(all.anchorKeywords().last(), keyword_tables::emojiKeywords().last().key);

    const KeywordLookup some([](const QString& name) { return name != u"umbrella.fill" && name != u"heart.fill"; });
    EXPECT_EQ(some.keywordVisual(u"umbrella"_s), WordVisual::emoji(u"☂️"_s));
    EXPECT_EQ(some.keywordVisual(u"love"_s), std::nullopt);
    EXPECT_EQ(some.symbolKeywordCount(), symbols - 17);  // umbrella and heart's 16 keywords
    EXPECT_FALSE(some.anchorKeywords().contains(u"love"_s));
    // A visual is stored as "s:" or "e:" and its value.
    EXPECT_EQ(encodeVisual(WordVisual::symbol(u"heart.fill"_s)), u"s:heart.fill"_s);
    EXPECT_EQ(decodeVisual(encodeVisual(WordVisual::emoji(u"😢"_s))), WordVisual::emoji(u"😢"_s));
    EXPECT_EQ(encodeVisual(std::nullopt), QString());
    for (const char16_t* other : {u"x:abc", u"", u"S:heart.fill"})
        EXPECT_EQ(decodeVisual(other), std::nullopt);
    // A key keeps lower-case letters (a combining accent is none) and counts user-perceived characters; its candidate
    // forms strip one suffix and try its stems.
    using P = std::pair<const char*, const char*>;
    for (const auto& [text, key] :
         {P{"Love!", "love"}, P{"Don't", "dont"}, P{"nothin'", "nothin"}, P{"24/7", ""}, P{"rock-n-roll", "rocknroll"},
          P{"  sky  ", "sky"}, P{"love😢", "love"}, P{"cafe\xcc\x81", "cafe"}, P{"ÉTÉ", "été"}, P{"Straße", "straße"},
          P{"ΑΓΑΠΗ", "αγαπη"}, P{"愛してる", "愛してる"}, P{"İstanbul", "istanbul"}})
        EXPECT_EQ(visualKey(QString::fromUtf8(text)), QString::fromUtf8(key)) << text;
    EXPECT_EQ(keyLength(u"愛して"), 3);
    EXPECT_EQ(keyLength(QString::fromUcs4(U"\U0001D49C\U0001D49D")), 2) << "letters outside the BMP count once";
    using F = std::pair<const char*, QStringList>;
    for (const auto& [word, forms] :
         {F{"stars", {"stars", "star"}}, F{"dancing", {"dancing", "danc", "dance"}},
          F{"loved", {"loved", "lov", "love"}}, F{"running", {"running", "runn", "runne", "run"}},
          F{"stopped", {"stopped", "stopp", "stoppe", "stop"}}, F{"passing", {"passing", "pass", "passe", "pas"}},
          F{"bring", {"bring", "br", "bre"}}, F{"seed", {"seed", "se", "see"}}, F{"bed", {"bed"}}, F{"sing", {"sing"}},
          F{"ing", {"ing"}}, F{"kisses", {"kisses", "kisse"}}, F{"ss", {"ss"}}})
        EXPECT_EQ(candidateForms(QString::fromUtf8(word)), forms) << word;
    using D = std::pair<const char*, QStringList>;
    for (const auto& [word, stems] : {D{"tearful", {"tear"}}, D{"happiness", {"happy"}}, D{"awful", {}},
                                      D{"helpfulness", {"helpful"}}, D{"ness", {}}, D{"tears", {}}})
        EXPECT_EQ(derivedStems(QString::fromUtf8(word)), stems) << word;
    const QString word = QString::fromUcs4(U"\U0001D49C\U0001D49C\U0001D49Cing");  // cut by code point
    const QString stem = QString::fromUcs4(U"\U0001D49C\U0001D49C\U0001D49C");
    EXPECT_EQ(candidateForms(word), (QStringList{word, stem, stem + u'e', stem.chopped(2)}));
    EXPECT_EQ(candidateForms(QString(500, u'a') + u"ing"_s).last(), QString(499, u'a'));
}

// Where several emoji fit a word: its own name, then a name holding it or words near it in meaning, then the fewest
// code points, then the fewest keywords, then code points; the plural of a one-word name goes with the name.
// Odd lines are skipped.
TEST(Words, EmojiKeywordsPickOneEmojiPerWordByRule)
{
    const QByteArray text =
        "🅰\tleaf\tfall green\n🅱\tfallen leaf\tautumn fall leaf\n🅲\tmoon cake\tautumn cake\n"
        "🅳\tgreen heart\tgreen love romantic\n🅴\tkiss mark\tkiss romantic\n🅹\tapple\tgreen\n"
        "🅷\tfog\tgrey\n🅶\tmist\tgrey\n🅺\tbowing\tsorry bow\n🅻\u200d🅼\tman bowing\tsorry\n"
        "broken line\n\tnameless\tx\n🅸\tnokeywords\t\n🅽\twing\tflight\n🅾\tmoney with wings\tcash wings\n"
        "🅿\tglass\tdrink\n🆀\tglasses\teyewear\n🆁\tpotato\tfood\n🆂\tberry\tfruit\n";
    const auto near = [](const QString& word, const QString& other) {
        return word == u"autumn" && other == u"fall" ? 0.1 : 1.0;
    };
    using P = std::pair<const char*, const char*>;
    const QHash<QString, QString> withMeaning = emoji_keywords::parse(text, near);
    for (const auto& [word, emoji] :
         {P{"leaf", "🅰"}, P{"fall", "🅰"}, P{"autumn", "🅱"}, P{"romantic", "🅴"}, P{"green", "🅳"}, P{"grey", "🅶"},
          P{"sorry", "🅺"}, P{"nokeywords", "🅸"}, P{"nameless", nullptr}, P{"wings", "🅽"}, P{"cash", "🅾"},
          P{"glasses", "🆀"}, P{"potatoes", "🆁"}, P{"potatos", "🆁"}, P{"berries", "🆂"}, P{"berrys", nullptr}})
        EXPECT_EQ(withMeaning.value(QString::fromUtf8(word)), QString::fromUtf8(emoji)) << word;
    EXPECT_EQ(emoji_keywords::parse(text).value(u"autumn"_s), u"🅲"_s) << "without meaning: fewest keywords";
    EXPECT_EQ(withMeaning.size(), 38);
}
