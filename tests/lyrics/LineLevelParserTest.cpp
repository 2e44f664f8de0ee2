#include "lyrics/LineLevelParser.h"

#include "LyricsTestSupport.h"

#include <cmath>

namespace {

struct TagCase {
    const char* tag;
    std::optional<double> seconds;
};

void PrintTo(const TagCase& c, std::ostream* out)
{
    *out << '[' << c.tag << ']';
}

class TimeTag : public ::testing::TestWithParam<TagCase> {};

TEST_P(TimeTag, Reads)
{
    const std::optional<double> read = readTimeTag(QString::fromUtf8(GetParam().tag));
    ASSERT_EQ(read.has_value(), GetParam().seconds.has_value()) << GetParam().tag;
    if (read) {
        EXPECT_DOUBLE_EQ(*read, *GetParam().seconds) << GetParam().tag;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lrc, TimeTag,
    ::testing::Values(TagCase{"00:12.34", 12.34}, TagCase{"00:12.345", 12.345}, TagCase{"00:12", 12.0},
                      TagCase{"1:02:03.45", 62.03}, TagCase{"00:12.5", 12.05}, TagCase{"00:12.05", 12.05},
                      TagCase{"00:12.050", 12.05}, TagCase{"03:15.xx", 195.0}, TagCase{"::01..02", 62.0},
                      TagCase{"+1:+2", 62.0}, TagCase{"1e1:0", 600.0}, TagCase{"ar:someone", std::nullopt},
                      TagCase{"offset:+200", std::nullopt}, TagCase{"12", std::nullopt}, TagCase{"", std::nullopt},
                      TagCase{"00: 12", std::nullopt}, TagCase{"0x1:00", std::nullopt},
                      // absurd values are skipped rather than turned into NaN, infinity or negative times
                      TagCase{"-1:00", std::nullopt}, TagCase{"00:-5", std::nullopt},
                      TagCase{"1e400:00", std::nullopt}, TagCase{"1e300:00", std::nullopt},
                      TagCase{"inf:00", std::nullopt}, TagCase{"nan:00", std::nullopt},
                      TagCase{"99999999999999999999999:00", std::nullopt}));

QList<TimedWord> parse(const char* utf8)
{
    return parseLineLevel(QString::fromUtf8(utf8));
}

TEST(LineLevel, LastLineSpanIsCappedAtFiveSecondsAndSharedByLetters)
{
    const QList<TimedWord> words = parse("[00:30.00]hi there");
    ASSERT_EQ(words.size(), 2);
    const double span = 0.18 * 7 + 1.2;  // 2.46 s, well under the 5 s of room
    EXPECT_EQ(words[0].text, QStringLiteral("hi"));
    EXPECT_DOUBLE_EQ(words[0].start, 30.0);
    EXPECT_NEAR(words[0].end, 30.703, 0.001);
    EXPECT_DOUBLE_EQ(words[1].start, words[0].end);
    EXPECT_DOUBLE_EQ(words[1].end, 30.0 + span);
}

TEST(LineLevel, SpanStopsAtTheNextLine)
{
    const QList<TimedWord> words = parse("[00:01.00]a long line of many letters\n[00:02.00]next");
    ASSERT_EQ(words.size(), 7);
    EXPECT_NEAR(words[5].end, 2.0, 1e-12);  // "letters" ends where "next" starts
    EXPECT_EQ(words[6].line, 1);
}

TEST(LineLevel, SameTimeTwiceGivesTheFirstAMinimumSpan)
{
    const QList<TimedWord> words = parse("[00:05.00]one\n[00:05.00]two");
    ASSERT_EQ(words.size(), 2);
    EXPECT_NEAR(words[0].end - words[0].start, 0.2, 1e-12);
    EXPECT_EQ(words[0].line, 0);
    EXPECT_EQ(words[1].line, 1);
}

TEST(LineLevel, SeveralTagsRepeatTheLineNumberedAfterSorting)
{
    const QList<TimedWord> words = parse("[00:10.00][00:40.00]chorus\n[00:20.00]verse");
    EXPECT_EQ(textsOf(words), (QStringList{"chorus", "verse", "chorus"}));
    EXPECT_DOUBLE_EQ(words[0].start, 10.0);
    EXPECT_DOUBLE_EQ(words[2].start, 40.0);
    EXPECT_EQ((QList<std::int64_t>{words[0].line, words[1].line, words[2].line}), (QList<std::int64_t>{0, 1, 2}));
}

TEST(LineLevel, WeightsCountLettersAndNumbersAsCharactersNotCodeUnits)
{
    // "é" written as e + combining acute is one character; the emoji counts its minimum weight of 1.
    const QList<TimedWord> words = parse("[00:00.00]e\xCC\x81t\xC3\xA9 9 \xF0\x9F\x98\x80x");
    ASSERT_EQ(words.size(), 3);
    const double total = 3 + 1 + 1;
    const double span = 0.18 * total + 1.2;
    EXPECT_NEAR(words[0].end - words[0].start, span * 3 / total, 1e-12);
    EXPECT_NEAR(words[1].end - words[1].start, span * 1 / total, 1e-12);
}

struct LineCase {
    const char* name;
    const char* text;
    QStringList texts;
};

class LineLevelLines : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineLevelLines, Parse)
{
    EXPECT_EQ(textsOf(parse(GetParam().text)), GetParam().texts);
}

INSTANTIATE_TEST_SUITE_P(
    Format, LineLevelLines,
    ::testing::Values(
        LineCase{"MetadataTagOnlyYieldsNothing", "[ar:someone]\n[ti:song]\n[00:01.00]sung", {"sung"}},
        LineCase{"TimeTagWithoutTextYieldsNothing", "[00:05.00]\n[00:06.00]   \n[00:07.00]x", {"x"}},
        LineCase{"TextWithoutTimeYieldsNothing", "plain words\n[ar:x]tagged", {}},
        LineCase{"UnclosedBracketStaysInTheText", "[00:01.00][oops", {"[oops"}},
        LineCase{"MetadataBetweenTimesIsConsumed", "[00:01.00][by:x][00:03.00]hey", {"hey", "hey"}},
        LineCase{"CreditLineIsDropped", "[00:00.00]作词 : someone\n[00:01.00]Lyrics by: someone\n[00:02.00]la",
                 {"la"}},
        LineCase{"TabsAreNotWordSeparators", "[00:01.00]a\tb c", {"a\tb", "c"}},
        LineCase{"PunctuationOnlyLineGluesToThePreviousLine", "[00:01.00]hey\n[00:02.00]...", {"hey..."}},
        LineCase{"CrLfAndByteOrderMarkParseLikeLf", "\xEF\xBB\xBF[00:01.00]one\r\n[00:02.00]two\r\n", {"one", "two"}},
        LineCase{"EmptyText", "", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LineLevel, AbsurdTagIsSkippedAndNoTimeIsNonFinite)
{
    const QList<TimedWord> words = parse("[1e300:00]junk\n[-1:05]neg\n[00:01.00]fine\n[00:02.1e999]still");
    EXPECT_EQ(textsOf(words), (QStringList{"fine", "still"}));
    for (const TimedWord& w : words) {
        EXPECT_TRUE(std::isfinite(w.start) && std::isfinite(w.end));
        EXPECT_GE(w.start, 0.0);
    }
}

}  // namespace
