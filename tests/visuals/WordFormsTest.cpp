#include "VisualsPrinting.h"
#include "visuals/WordForms.h"

#include <gtest/gtest.h>

using namespace word_forms;

struct KeyCase {
    const char* text;
    const char* key;
};
class VisualKey : public ::testing::TestWithParam<KeyCase> {};
TEST_P(VisualKey, KeepsLowerCaseLettersOnly)
{
    EXPECT_EQ(visualKey(QString::fromUtf8(GetParam().text)), QString::fromUtf8(GetParam().key));
}
INSTANTIATE_TEST_SUITE_P(Words, VisualKey, ::testing::Values(
    KeyCase{"Love!", "love"}, KeyCase{"LOVE", "love"}, KeyCase{"Don't", "dont"}, KeyCase{"nothin'", "nothin"},
    KeyCase{"24/7", ""}, KeyCase{"", ""}, KeyCase{"rock-n-roll", "rocknroll"}, KeyCase{"  sky  ", "sky"},
    KeyCase{"ÉTÉ", "été"}, KeyCase{"Straße", "straße"}, KeyCase{"ΑΓΑΠΗ", "αγαπη"}, KeyCase{"愛してる", "愛してる"},
    KeyCase{"😢😢", ""}, KeyCase{"love😢", "love"}, KeyCase{"İstanbul", "istanbul"},
    KeyCase{"cafe\xcc\x81", "cafe"} /* a combining accent is a mark, not a letter */));

TEST(VisualKey, LengthCountsUserPerceivedCharacters)
{
    EXPECT_EQ(keyLength(u"sky"), 3);
    EXPECT_EQ(keyLength(u"me"), 2);
    EXPECT_EQ(keyLength(u"愛して"), 3);
    EXPECT_EQ(keyLength(QString::fromUcs4(U"\U0001D49C\U0001D49D")), 2) << "letters outside the BMP count once";
}

struct FormsCase {
    const char* word;
    std::vector<const char*> forms;
};
class CandidateForms : public ::testing::TestWithParam<FormsCase> {};
TEST_P(CandidateForms, Builds)
{
    QStringList expected;
    for (const char* form : GetParam().forms)
        expected.append(QString::fromUtf8(form));
    EXPECT_EQ(candidateForms(QString::fromUtf8(GetParam().word)), expected);
}
INSTANTIATE_TEST_SUITE_P(Suffixes, CandidateForms, ::testing::Values(
    FormsCase{"stars", {"stars", "star"}},
    FormsCase{"dancing", {"dancing", "danc", "dance"}},
    FormsCase{"running", {"running", "runn", "runne", "run"}},
    FormsCase{"stopped", {"stopped", "stopp", "stoppe", "stop"}},
    FormsCase{"loved", {"loved", "lov", "love"}},
    FormsCase{"bring", {"bring", "br", "bre"}},
    FormsCase{"bed", {"bed"}},
    FormsCase{"sing", {"sing"}},
    FormsCase{"kisses", {"kisses", "kisse"}},
    FormsCase{"sky", {"sky"}},
    FormsCase{"ss", {"ss"}},
    FormsCase{"seed", {"seed", "se", "see"}},
    FormsCase{"seeds", {"seeds", "seed"}},
    FormsCase{"ing", {"ing"}},
    FormsCase{"passing", {"passing", "pass", "passe", "pas"}}));

TEST(CandidateForms, NonLatinWordsAreCutByCodePoint)
{
    const QString word = QString::fromUcs4(U"\U0001D49C\U0001D49C\U0001D49Cing");
    const QString stem = QString::fromUcs4(U"\U0001D49C\U0001D49C\U0001D49C");
    EXPECT_EQ(candidateForms(word), (QStringList{word, stem, stem + u'e', QString::fromUcs4(U"\U0001D49C\U0001D49C")}));
}

TEST(CandidateForms, VeryLongWordsStayWhole)
{
    const QString word = QString(500, u'a') + QStringLiteral("ing");
    const QStringList forms = candidateForms(word);
    ASSERT_EQ(forms.size(), 4);
    EXPECT_EQ(forms.last(), QString(499, u'a'));
}
