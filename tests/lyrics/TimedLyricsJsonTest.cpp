#include "lyrics/DocumentBudget.h"
#include "lyrics/TimedLyricsJson.h"

#include "LyricsTestSupport.h"

#include <QJsonDocument>
#include <QJsonArray>
#include <QJsonObject>

namespace {

const TimedLyrics* decoded(const std::variant<TimedLyrics, LyricsDecodeError>& result)
{
    return std::get_if<TimedLyrics>(&result);
}

TEST(TimedLyricsJson, RoundTripKeepsTierWordsAndGroups)
{
    const TimedLyrics original(LyricTier::interpolated,
                               {word("Hel", 0.1, 0.30000000000000004, 0), word("lo,", 0.3, 0.9, 0),
                                word("世界", 1.0 / 3.0, 2.5, 3), word("again", 2.5, 1e-7, -2)});
    const auto result = decodeTimedLyrics(encodeTimedLyrics(original));
    ASSERT_NE(decoded(result), nullptr);
    EXPECT_EQ(decoded(result)->tier(), LyricTier::interpolated);
    EXPECT_EQ(decoded(result)->words(), original.words());  // exact doubles
    EXPECT_EQ(decoded(result)->groups(), original.groups());
}

TEST(TimedLyricsJson, EncodesCompactlyWithExactlyTheTwoMembers)
{
    const QByteArray json = encodeTimedLyrics(TimedLyrics(LyricTier::wordLevel, {word("a", 1, 2, 7)}));
    EXPECT_FALSE(json.contains(' '));
    EXPECT_FALSE(json.contains('\n'));
    const QJsonObject object = QJsonDocument::fromJson(json).object();
    EXPECT_EQ(object.keys(), (QStringList{"tier", "words"}));
    EXPECT_EQ(object.value(QLatin1String("tier")).toString(), QStringLiteral("wordLevel"));
    const QJsonObject first = object.value(QLatin1String("words")).toArray().first().toObject();
    EXPECT_EQ(first.keys(), (QStringList{"end", "line", "start", "text"}));
    EXPECT_TRUE(json.contains("\"line\":7"));
}

TEST(TimedLyricsJson, UnknownMembersAreIgnoredIncludingStoredGroups)
{
    const QByteArray json = R"({"tier":"wordLevel","groups":[["junk"]],"extra":1,
        "words":[{"text":"a","start":1,"end":2,"line":0,"color":"red"}]})";
    const auto result = decodeTimedLyrics(json);
    ASSERT_NE(decoded(result), nullptr);
    EXPECT_EQ(decoded(result)->words(), (QList<TimedWord>{word("a", 1, 2, 0)}));
    EXPECT_EQ(decoded(result)->groups().size(), 1);
}

TEST(TimedLyricsJson, WholeNumberWrittenWithFractionIsALine)
{
    const auto result = decodeTimedLyrics(R"({"tier":"wordLevel","words":[{"text":"a","start":1,"end":2,"line":3.0}]})");
    ASSERT_NE(decoded(result), nullptr);
    EXPECT_EQ(decoded(result)->words().first().line, 3);
}

TEST(TimedLyricsJson, EmptyWordListDecodesToAnEmptyDocument)
{
    const auto result = decodeTimedLyrics(R"({"tier":"interpolated","words":[]})");
    ASSERT_NE(decoded(result), nullptr);
    EXPECT_TRUE(decoded(result)->isEmpty());
}

struct BadDocument {
    const char* name;
    const char* json;
};

class TimedLyricsJsonRejects : public ::testing::TestWithParam<BadDocument> {};

TEST_P(TimedLyricsJsonRejects, WithAnError)
{
    const auto result = decodeTimedLyrics(QByteArray(GetParam().json));
    ASSERT_TRUE(std::holds_alternative<LyricsDecodeError>(result));
    EXPECT_FALSE(std::get<LyricsDecodeError>(result).reason.isEmpty());
}

#define WORD_OK R"({"text":"a","start":1,"end":2,"line":0})"

INSTANTIATE_TEST_SUITE_P(
    Malformed, TimedLyricsJsonRejects,
    ::testing::Values(
        BadDocument{"NotJson", "{\"tier\":"}, BadDocument{"Empty", ""}, BadDocument{"Array", "[]"},
        BadDocument{"TierCaseDiffers", R"({"tier":"WordLevel","words":[]})"},
        BadDocument{"TierUnknown", R"({"tier":"lineLevel","words":[]})"},
        BadDocument{"TierNotAString", R"({"tier":0,"words":[]})"},
        BadDocument{"TierMissing", R"({"words":[]})"},
        BadDocument{"WordsMissing", R"({"tier":"wordLevel"})"},
        BadDocument{"WordsNotAnArray", R"({"tier":"wordLevel","words":{}})"},
        BadDocument{"WordNotAnObject", R"({"tier":"wordLevel","words":[)" WORD_OK R"(,"a"]})"},
        BadDocument{"TextMissing", R"({"tier":"wordLevel","words":[{"start":1,"end":2,"line":0}]})"},
        BadDocument{"TextNotAString", R"({"tier":"wordLevel","words":[{"text":1,"start":1,"end":2,"line":0}]})"},
        BadDocument{"StartAsString", R"({"tier":"wordLevel","words":[{"text":"a","start":"1","end":2,"line":0}]})"},
        BadDocument{"EndNull", R"({"tier":"wordLevel","words":[{"text":"a","start":1,"end":null,"line":0}]})"},
        BadDocument{"LineFractional", R"({"tier":"wordLevel","words":[{"text":"a","start":1,"end":2,"line":0.5}]})"},
        BadDocument{"LineTooLarge", R"({"tier":"wordLevel","words":[{"text":"a","start":1,"end":2,"line":1e30}]})"},
        BadDocument{"LineMissing", R"({"tier":"wordLevel","words":[{"text":"a","start":1,"end":2}]})"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TimedLyricsJson, MoreWordsThanASongHoldsAreNotLyrics)
{
    const auto document = [](qsizetype count) {
        QByteArray words = QByteArray(WORD_OK ",").repeated(count);
        words.chop(1);
        return QByteArray(R"({"tier":"wordLevel","words":[)") + words + "]}";
    };
    EXPECT_TRUE(std::holds_alternative<TimedLyrics>(decodeTimedLyrics(document(DocumentBudget::maxWords))));
    EXPECT_TRUE(std::holds_alternative<LyricsDecodeError>(decodeTimedLyrics(document(DocumentBudget::maxWords + 1))));
}

}  // namespace
