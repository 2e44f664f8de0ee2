#include "lyrics/WordLevelParser.h"

#include "LyricsTestSupport.h"

namespace {

QList<TimedWord> parse(const char* utf8)
{
    return parseWordLevel(QString::fromUtf8(utf8));
}

TEST(WordLevel, ReadsTheDocumentedExample)
{
    EXPECT_EQ(parse("[0,1500](0,500,0)Hel(500,400,0)lo (900,600,0)world"),
              (QList<TimedWord>{word("Hel", 0.0, 0.5, 0), word("lo", 0.5, 0.9, 0), word("world", 0.9, 1.5, 0)}));
}

struct LineCase {
    const char* name;
    const char* text;
    QList<TimedWord> expected;
};

class WordLevelLines : public ::testing::TestWithParam<LineCase> {};

TEST_P(WordLevelLines, Parse)
{
    EXPECT_EQ(parse(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Format, WordLevelLines,
    ::testing::Values(
        LineCase{"MetadataObjectUsesNoLineNumber",
                 "{\"t\":0,\"c\":[{\"tx\":\"作词: \"}]}\n[0,1](0,100,0)a\n[1,1](1000,100,0)b",
                 {word("a", 0, 0.1, 0), word("b", 1.0, 1.1, 1)}},
        LineCase{"HeaderWithoutGroupsStillUsesALineNumber",
                 "[0,1](0,100,0)a\n[5,1]nothing timed\n[9,1](900,100,0)b",
                 {word("a", 0, 0.1, 0), word("b", 0.9, 1.0, 2)}},
        LineCase{"LineWithoutClosingBracketIsSkipped", "(0,100,0)a\n[1,1](100,100,0)b", {word("b", 0.1, 0.2, 0)}},
        LineCase{"UnreadableDurationEndsTheLine", "[0,1](100,200,0)a(300,x,0)b(500,100,0)c", {word("a", 0.1, 0.3, 0)}},
        LineCase{"TwoNumbersAreEnough", "[0,1](100,200)a", {word("a", 0.1, 0.3, 0)}},
        LineCase{"EmptyPiecesAreDropped", "[0,1](,100,,200,)a", {word("a", 0.1, 0.3, 0)}},
        LineCase{"OnePieceEndsTheLine", "[0,1](100)a(200,100,0)b", {}},
        LineCase{"SpacesOnlyWordMakesNoWordButTheNextGroupIsRead", "[0,1](0,100,0)   (100,100,0)b",
                 {word("b", 0.1, 0.2, 0)}},
        LineCase{"SignedNumbersRead", "[0,1](+100,+200,0)a", {word("a", 0.1, 0.3, 0)}},
        LineCase{"SpaceInsideANumberEndsTheLine", "[0,1](100, 200,0)a", {}},
        LineCase{"MissingCloseParenthesisEndsTheLine", "[0,1](0,100,0)a(200,100,0", {word("a", 0, 0.1, 0)}},
        LineCase{"TextBeforeTheFirstGroupIsIgnored", "[0,1]lead (0,100,0)a", {word("a", 0, 0.1, 0)}},
        LineCase{"HeaderIsNotRead", "[junk](0,100,0)a", {word("a", 0, 0.1, 0)}},
        LineCase{"FullWidthParenthesesAreCleaned", "[0,1](0,100,0)（oh）", {word("oh", 0, 0.1, 0)}},
        LineCase{"PunctuationGluesToThePreviousWord", "[0,1](0,100,0)Hey(100,300,0),",
                 {word("Hey,", 0, 0.4, 0)}},
        LineCase{"LaterLineStartingEarlierSortsFirstStably",
                 "[0,1](500,100,0)x(500,50,0)y\n[1,1](200,100,0)z(500,10,0)w",
                 {word("z", 0.2, 0.3, 1), word("x", 0.5, 0.6, 0), word("y", 0.5, 0.55, 0), word("w", 0.5, 0.51, 1)}},
        LineCase{"CreditLineIsDroppedAndTheNextTakesItsNumber",
                 "[0,1](0,100,0)编曲：(100,100,0)someone\n[1,1](200,100,0)sung",
                 {word("sung", 0.2, 0.3, 0)}},
        LineCase{"CrLfAndByteOrderMarkParseLikeLf",
                 "\xEF\xBB\xBF[0,1](0,100,0)a \r\n[1,1](100,100,0)b\r\n\r\n",
                 {word("a", 0, 0.1, 0), word("b", 0.1, 0.2, 1)}},
        LineCase{"EmptyText", "", {}}, LineCase{"OnlyLineFeeds", "\n\n\n", {}}),
    [](const auto& info) { return std::string(info.param.name); });

// Values that no real text holds: the word is skipped, nothing crashes, no time is NaN or infinite.
class WordLevelAbsurd : public ::testing::TestWithParam<const char*> {};

TEST_P(WordLevelAbsurd, SkipsTheWordAndKeepsTheRest)
{
    const QString text = QStringLiteral("[0,1](%1)bad(100,100,0)good").arg(QString::fromUtf8(GetParam()));
    const QList<TimedWord> words = parseWordLevel(text);
    EXPECT_EQ(words, (QList<TimedWord>{word("good", 0.1, 0.2, 0)}));
}

INSTANTIATE_TEST_SUITE_P(Junk, WordLevelAbsurd,
                         ::testing::Values("-100,100,0", "100,-100,0", "0,4000000000,0", "9000000000000,1,0",
                                           "9223372036854775807,9223372036854775807,0",
                                           "-9223372036854775808,1,0"));

TEST(WordLevelOverflow, NumberBeyondSixtyFourBitsEndsTheLine)
{
    EXPECT_EQ(parse("[0,1](0,100,0)a(9223372036854775808,1,0)b\n[1,1](200,100,0)c"),
              (QList<TimedWord>{word("a", 0, 0.1, 0), word("c", 0.2, 0.3, 1)}));
}

}  // namespace
