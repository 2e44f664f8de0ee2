#include "lyrics/ServiceReplies.h"

#include "LyricsTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

QJsonObject object(const char* json)
{
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray(json));
    EXPECT_TRUE(document.isObject()) << json;
    return document.object();
}

struct SearchCase {
    const char* name;
    const char* reply;
    std::optional<QList<Candidate>> candidates;
};

class SearchReply : public ::testing::TestWithParam<SearchCase> {};

TEST_P(SearchReply, Reads)
{
    EXPECT_EQ(candidatesFromSearchReply(object(GetParam().reply)), GetParam().candidates);
}

const auto none = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Shapes, SearchReply,
    ::testing::Values(
        SearchCase{"Whole", R"({"result":{"songs":[{"id":7,"name":"Song","artists":[{"id":1,"name":"A"},{"name":"B"}],"duration":215000}]}})",
                   QList<Candidate>{{7, "Song", {"A", "B"}, 215000}}},
        SearchCase{"NoResult", R"({"code":200})", none},
        SearchCase{"ResultNotAnObject", R"({"result":[]})", none},
        SearchCase{"NoSongs", R"({"result":{"songCount":0}})", none},
        SearchCase{"NullSongs", R"({"result":{"songs":null}})", none},
        SearchCase{"SongsNotAnArray", R"({"result":{"songs":{"id":1}}})", none},
        SearchCase{"SongsHoldingANonObject", R"({"result":{"songs":[{"id":1},2]}})", none},
        SearchCase{"EmptySongs", R"({"result":{"songs":[]}})", QList<Candidate>{}},
        SearchCase{"SongsWithoutAnIntegerIdAreSkipped",
                   R"({"result":{"songs":[{"id":"1"},{"id":1.5},{"id":null},{},{"name":"x"},{"id":1e20},{"id":2}]}})",
                   QList<Candidate>{{2, "", {}, 0}}},
        SearchCase{"WholeFloatIdIsAnInteger", R"({"result":{"songs":[{"id":3.0}]}})", QList<Candidate>{{3, "", {}, 0}}},
        SearchCase{"MistypedMembersFallBack", R"({"result":{"songs":[{"id":5,"name":7,"artists":"A","duration":"215000"}]}})",
                   QList<Candidate>{{5, "", {}, 0}}},
        SearchCase{"ArtistsWithoutAStringNameAreSkipped",
                   R"({"result":{"songs":[{"id":5,"artists":[{"name":"A"},{"id":1},{"name":null},{"name":"B"}]}]}})",
                   QList<Candidate>{{5, "", {"A", "B"}, 0}}},
        SearchCase{"ArtistsHoldingANonObject", R"({"result":{"songs":[{"id":5,"artists":[{"name":"A"},"B"]}]}})",
                   QList<Candidate>{{5, "", {}, 0}}},
        SearchCase{"FractionalDuration", R"({"result":{"songs":[{"id":5,"duration":1.5}]}})", QList<Candidate>{{5, "", {}, 0}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SearchReplyOfManySongs, ReadsEveryOne)
{
    QJsonArray songs;
    for (int i = 0; i < 20000; ++i)
        songs.append(QJsonObject{{"id", i}, {"name", "Song"}});
    const auto candidates = candidatesFromSearchReply(QJsonObject{{"result", QJsonObject{{"songs", songs}}}});
    ASSERT_TRUE(candidates);
    EXPECT_EQ(candidates->size(), 20000);
    EXPECT_EQ(candidates->last().id, 19999);
}

struct TextsCase {
    const char* name;
    const char* reply;
    std::optional<QString> wordLevel;
    std::optional<QString> lineLevel;
};

class LyricReply : public ::testing::TestWithParam<TextsCase> {};

TEST_P(LyricReply, Reads)
{
    const LyricTexts texts = lyricTextsFromReply(object(GetParam().reply));
    EXPECT_EQ(texts.wordLevel, GetParam().wordLevel);
    EXPECT_EQ(texts.lineLevel, GetParam().lineLevel);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, LyricReply,
    ::testing::Values(
        TextsCase{"Both", R"({"yrc":{"lyric":"w"},"lrc":{"lyric":"l"},"tlyric":{"lyric":"t"}})", "w", "l"},
        TextsCase{"EmptyWordLevelIsAbsent", R"({"yrc":{"version":0,"lyric":""},"lrc":{"lyric":"l"}})", none, "l"},
        TextsCase{"NumberIsAbsent", R"({"yrc":{"lyric":5},"lrc":{"lyric":"l"}})", none, "l"},
        TextsCase{"NullObject", R"({"yrc":null,"lrc":{"lyric":"l"}})", none, "l"},
        TextsCase{"StringInsteadOfObject", R"({"yrc":"w","lrc":"l"})", none, none},
        TextsCase{"NoLyrics", R"({"nolyric":true,"code":200})", none, none}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
