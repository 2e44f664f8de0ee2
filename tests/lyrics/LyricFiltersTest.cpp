#include "lyrics/LyricFilters.h"

#include "LogLines.h"
#include "LyricsTestSupport.h"

namespace {

struct CreditCase {
    const char* text;
    bool credit;
};

void PrintTo(const CreditCase& c, std::ostream* out)
{
    *out << '"' << c.text << '"';
}

class CreditLine : public ::testing::TestWithParam<CreditCase> {};

TEST_P(CreditLine, Recognised)
{
    EXPECT_EQ(isCreditLine(QString::fromUtf8(GetParam().text)), GetParam().credit) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Labels, CreditLine,
    ::testing::Values(CreditCase{"作词 : 某人", true}, CreditCase{"作曲：某人", true}, CreditCase{"Lyrics by: Someone", true},
                      CreditCase{"  PRODUCER: Someone", true}, CreditCase{"Composed by: x", true},
                      CreditCase{"鼓: x", true}, CreditCase{"Executive producer: Someone", false},
                      CreditCase{"Arranged by: x", true}, CreditCase{"Arranged by him: x", false}, CreditCase{"Twelve chars producer:x", false},
                      CreditCase{"I love you", false}, CreditCase{"producer without colon", false},
                      CreditCase{"Time: now", false}, CreditCase{"", false}, CreditCase{":", false},
                      // the label is counted in characters: 12 of them, though 15 UTF-16 units
                      CreditCase{"e\xCC\x81" "e\xCC\x81" "e\xCC\x81 producer: x", true},
                      // the first colon decides
                      CreditCase{"hey: producer: x", false}));

TEST(CleanWords, GluesPunctuationToThePreviousWordAndTakesTheLaterEnd)
{
    const QList<TimedWord> cleaned = cleanWords({word("Hello", 0, 1, 0), word(",", 1, 1.5, 0), word("world", 2, 3, 0)});
    EXPECT_EQ(cleaned, (QList<TimedWord>{word("Hello,", 0, 1.5, 0), word("world", 2, 3, 0)}));
}

TEST(CleanWords, KeepsTheLaterOwnEndWhenTheFragmentEndsEarlier)
{
    EXPECT_EQ(cleanWords({word("Hello", 0, 2, 0), word("!", 1, 1.5, 0)}), (QList<TimedWord>{word("Hello!", 0, 2, 0)}));
}

TEST(CleanWords, MergesAcrossLinesKeepingThePreviousWordsLine)
{
    EXPECT_EQ(cleanWords({word("end", 0, 1, 0), word("—", 1, 2, 1), word("start", 2, 3, 1)}),
              (QList<TimedWord>{word("end—", 0, 2, 0), word("start", 2, 3, 1)}));
}

struct CleanCase {
    const char* name;
    QList<TimedWord> input;
    QList<TimedWord> expected;
};

class CleanWordsCases : public ::testing::TestWithParam<CleanCase> {};

TEST_P(CleanWordsCases, Clean)
{
    EXPECT_EQ(cleanWords(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CleanWordsCases,
    ::testing::Values(CleanCase{"LeadingEllipsisIsDropped", {word("…", 0, 1, 0), word("go", 1, 2, 0)}, {word("go", 1, 2, 0)}},
                      CleanCase{"FullWidthParenthesesAreRemoved", {word("（oh）", 0, 1, 0)}, {word("oh", 0, 1, 0)}},
                      CleanCase{"ParenthesesOnlyIsDropped", {word("a", 0, 1, 0), word("（ ）", 1, 2, 0)}, {word("a", 0, 1, 0)}},
                      CleanCase{"WhitespaceIsTrimmed", {word("\t x \xE3\x80\x80", 0, 1, 0)}, {word("x", 0, 1, 0)}},
                      CleanCase{"EmojiAloneGlues", {word("love", 0, 1, 0), word("😀", 1, 2, 0)}, {word("love😀", 0, 2, 0)}},
                      CleanCase{"MarksCountAsAlphanumeric", {word("\xCC\x81", 0, 1, 0)}, {word("\xCC\x81", 0, 1, 0)}},
                      CleanCase{"DigitsCount", {word("99", 0, 1, 0)}, {word("99", 0, 1, 0)}},
                      CleanCase{"Empty", {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// Reads the lines the shared log wrote since the test began.
class TranslationLines : public ::testing::Test {
protected:
    QString newLogText() const { return log.newMessages().join(u'\n'); }
    LogLines log;
};

QList<TimedWord> bilingual()
{
    return {word("Hello", 0, 1, 0), word("darkness", 1, 2, 0), word("你好黑暗", 2, 3, 1),
            word("my", 3, 4, 2), word("friend", 4, 5, 2), word("我的", 5, 6, 3), word("朋友", 6, 7, 3)};
}

TEST_F(TranslationLines, RemovesChineseLinesUnderAnEnglishTitleAndLogsTheCount)
{
    const QList<TimedWord> kept = dropTranslationLines(bilingual(), u"The Sound", u"Some Artist");
    EXPECT_EQ(textsOf(kept), (QStringList{"Hello", "darkness", "my", "friend"}));
    EXPECT_EQ(log.newMessages(), QStringList{QStringLiteral("lyrics: dropped 3 translation-line words")});
}

TEST_F(TranslationLines, KeepsEverythingWhenTheTitleOrArtistHasAnIdeograph)
{
    EXPECT_EQ(dropTranslationLines(bilingual(), u"声音", u"Artist"), bilingual());
    EXPECT_EQ(dropTranslationLines(bilingual(), u"Sound", u"歌手"), bilingual());
    EXPECT_FALSE(newLogText().contains(QStringLiteral("translation-line")));
}

TEST_F(TranslationLines, AllChineseLyricsAreReturnedUnchangedWithoutALogLine)
{
    const QList<TimedWord> chinese = {word("我的", 0, 1, 0), word("朋友", 1, 2, 1)};
    EXPECT_EQ(dropTranslationLines(chinese, u"Friend", u"Artist"), chinese);
    EXPECT_FALSE(newLogText().contains(QStringLiteral("translation-line")));
}

struct ScriptCase {
    const char* name;
    const char* line;
    bool dropped;
};

class TranslationLineScripts : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(TranslationLineScripts, Judged)
{
    const QList<TimedWord> words = {word("keep", 0, 1, 0), word(GetParam().line, 1, 2, 1)};
    const QList<TimedWord> kept = dropTranslationLines(words, u"Title", u"Artist");
    EXPECT_EQ(kept.size() == 1, GetParam().dropped) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Counts, TranslationLineScripts,
    ::testing::Values(ScriptCase{"JapaneseWithKanaIsNeverDropped", "君の名前を", false},
                      ScriptCase{"OneKanaAmongIdeographsKeepsTheLine", "愛愛愛愛愛の", false},
                      ScriptCase{"OneOfThreeIsNotMost", "爱ab", false},
                      ScriptCase{"MoreThanHalf", "爱爱a", true},
                      ScriptCase{"PunctuationDoesNotCount", "爱!!!...", true},
                      ScriptCase{"ExactHalfOfFour", "爱爱ab", false},
                      ScriptCase{"CompatibilityIdeograph", "\xEF\xA4\x80\xEF\xA4\x80", true},
                      ScriptCase{"ExtensionAIdeograph", "\xE3\x90\x80", true},
                      ScriptCase{"HangulIsNotAnIdeograph", "사랑해", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TranslationLineRuns, MarkedNumberRemovesEveryRunWithIt)
{
    // Line 1 returns after line 2; its second run is all Latin but shares the marked number.
    const QList<TimedWord> words = {word("a", 0, 1, 0), word("中文字", 1, 2, 1), word("b", 2, 3, 2), word("c", 3, 4, 1)};
    EXPECT_EQ(textsOf(dropTranslationLines(words, u"T", u"A")), (QStringList{"a", "b"}));
}

}  // namespace
