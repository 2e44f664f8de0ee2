// The pure parts of a service lookup: keys, candidate choice, reply reading, addresses, cache names.
#include "lyrics/CacheFileName.h"
#include "lyrics/CandidateChoice.h"
#include "lyrics/SearchKey.h"
#include "lyrics/ServiceAddress.h"
#include "lyrics/ServiceReplies.h"

#include "LyricsTestSupport.h"

#include <QRegularExpression>

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

// Each "in → out": what searchKey makes of a title. A slug counts characters; the file name hashes UTF-8.
TEST(TextFunction, NormalisesKeysAndNamesAndEveryCacheFileIsOnePlainName)
{
    const auto expectKey = [](const QString& row) {
        EXPECT_EQ(searchKey(row.section(" → ", 0, 0)), row.section(" → ", 1)) << row.toStdString();
    };
    for (const char* row :
         {"Song Title (feat. Someone) → song title", "Song (with Friend) → song",
          "Song (feature film) → song feature film", "Song Title - Radio Edit → song title",
          "Song (Remastered 2011) → song", "Song - 2011 Remaster → song", "Song (2011) → song 2011",
          "Song (Live) → song live", "Song [Official Video] Title → song title", "Theme (From \"The Film\") → theme"})
        expectKey(QString::fromUtf8(row));
    for (const char* row :
         {"Song - Part Two → song part two", "Re-Mix → re mix", "Song\u00A0-\u00A0Live → song",
          "Café del Mar → cafe del mar", "ＳＯＮＧ\u3000１２ → song 12", "ｶﾞｷ → カキ", "晴天 (Live) → 晴天 live",
          "Song ٢٠١١ → song ٢٠١١", "?!… → ", "  Song 🎵!!! —\t Title? → song title"})
        expectKey(QString::fromUtf8(row));
    using T = std::tuple<QString (*)(QStringView), QString, QString>;
    for (const auto& [function, in, out] :
         {T{primaryArtist, " A \t, B & C", "A"}, T{primaryArtist, "Simon & G", "Simon"}, T{primaryArtist, "&Lead", ""},
          T{cacheSlug, "?|a/b|0", "__a_b_0"}, T{cacheSlug, QString(79, u'x') + "y|first|1", QString(79, u'x') + "y"},
          T{cacheSlug, QString("e\u0301").repeated(81), QString("e\u0301").repeated(80)},
          T{cacheFileName, "Artist|Song Title|215", "Artist_Song_Title_215-0d427da5.json"},
          T{cacheFileName, "é", "é-1e9de8c1.json"}})
        EXPECT_EQ(function(in), out) << in.toStdString();
    // Whatever a track's text, its file is one plain name inside the cache folder, of at most 255 bytes.
    static const QRegularExpression shape(QStringLiteral(R"(^[\p{L}\p{M}\p{N}_]+-[0-9a-f]{8}\.json$)"));
    for (const QString& key : {QString("../../etc|passwd|0"), QString("..\\x|\x01\n|0"),
                               QString("𠀀").repeated(80) + "|x|1", "a" + QString(70, QChar(0x0301)) + "|x|1"}) {
        const QString name = cacheFileName(key);
        EXPECT_TRUE(shape.match(name).hasMatch() && name.toUtf8().size() <= 255) << name.toStdString();
    }
    EXPECT_NE(cacheFileName(u"a/b|c|0"), cacheFileName(u"a.b|c|0"));  // one slug, two keys
    // The key rounds halves away from zero, and unusable durations to zero.
    const std::pair<double, double> cases[] = {{214.4, 214}, {214.5, 215}, {-0.5, -1},      {std::nan(""), 0},
                                               {inf, 0},     {9.3e15, 0},  {9.2e15, 9.2e15}};
    for (const auto& [duration, seconds] : cases)
        EXPECT_EQ(cacheKey(NowPlayingTrack{"T", "A", duration}), "A|T|" + QString::number(seconds, 'f', 0)) << duration;
    EXPECT_EQ(searchQuery(NowPlayingTrack{"Song (Remastered 2011)", " A \t, B & C", 0}), QStringLiteral("A song"));
}

Candidate song(std::int64_t id, std::int64_t ms, const char* name = "Song") { return {id, name, {"A"}, ms}; }

TEST(Candidates, MatchOnTheTitleWordsAndAnArtistWordAndAreChosenByDuration)
{
    // The candidate's name and artists, the track's title and artist, and whether they are one song.
    using Case = std::tuple<const char*, QStringList, const char*, const char*, bool>;
    for (const auto& [name, artists, title, artist, matching] :
         {Case{"Song Title", {"A"}, "Song Title", "A", true}, Case{"Song Title (Live)", {"A"}, "Song Title", "A", true},
          Case{"Song", {"A"}, "Song Title", "A", true}, Case{"The Song Title Again", {"A"}, "Song Title", "A", true},
          Case{"Song", {"A"}, "Songbook", "A", false}, Case{"Big Songbook", {"A"}, "Song", "A", false},
          Case{"Song", {"A"}, "!!!", "A", false}, Case{"Song", {"Mara Lind", "Guest"}, "Song", "Guest Star", true},
          Case{"Song", {"C"}, "Song", "A, B & C", true}, Case{"Song", {"Other Person"}, "Song", "Mara Lind", false},
          Case{"Song", {"BEYONCÉ"}, "Song", "Beyoncé", true}, Case{"Song", {}, "Song", "Mara Lind", false},
          Case{"Song", {}, "Song", "", true}, Case{"Song", {"X"}, "Song", "???", true}})
        EXPECT_EQ(matches(Candidate{1, name, artists, 0}, NowPlayingTrack{title, artist, 0}), matching) << title;

    // Choice keeps matches within the tolerance, exact titles first, then the nearest. Below: 1 exact 1000 ms off,
    // 2 wider title 0 off, 3 exact 0 off, 4 exact 3000 off, 5 exact 3001 off, 6 no identity.
    const QList<Candidate> mixed = {song(1, 201000), song(2, 200000, "Song (Live)"), song(3, 200000), song(4, 197000),
                                    song(5, 203001), song(6, 200000, "Songs")};
    const QList<Candidate> anyLength = {song(1, 1), song(2, 999999999)};
    constexpr std::int64_t lowest = std::numeric_limits<std::int64_t>::min(), highest = -(lowest + 1);
    const QList<Candidate> ties = {song(7, 199000), song(8, 201000)};
    const QList<Candidate> rounding = {song(1, 203999), song(2, 204000)};
    const QList<Candidate> extremes = {song(1, lowest), song(2, highest)};
    const std::tuple<QList<Candidate>, double, QList<std::int64_t>> cases[] = {
        {mixed, 200.0, {3, 1, 4, 2}}, {mixed, 0, {1, 3, 4, 5, 2}},  // without a duration: the reply's order
        {ties, 200.0, {7, 8}},        {rounding, 200.9999, {1}},         {extremes, 200.0, {}},
        {anyLength, -5.0, {1, 2}},    {anyLength, std::nan(""), {1, 2}}, {anyLength, inf, {1, 2}},
        {anyLength, 9.3e15, {1, 2}}};
    for (const auto& [reply, duration, expected] : cases) {
        QList<std::int64_t> ids;
        for (const Candidate& chosen : chooseCandidates(reply, NowPlayingTrack{"Song", "A", duration}, 3000))
            ids.append(chosen.id);
        EXPECT_EQ(ids, expected) << duration;
    }
}

QJsonObject object(const char* json) { return QJsonDocument::fromJson(json).object(); }

#define SONGS(songs) R"({"result":{"songs":[)" songs "]}}"

// A search's candidates (nothing: no list of songs) and a song's two texts, whatever the reply's shape.
TEST(Service, RepliesAreReadAsFarAsTheyFitAndTheAddressIsAnHttpBase)
{
    const auto none = std::nullopt;
    for (const char* reply : {R"({"code":200})", R"({"result":[]})", R"({"result":{"songCount":0}})",
                              R"({"result":{"songs":{"id":1}}})", SONGS(R"({"id":1},2)")})
        EXPECT_EQ(candidatesFromSearchReply(object(reply)), std::nullopt) << reply;
    using S = std::pair<const char*, QList<Candidate>>;
    for (const auto& [reply, candidates] :
         {S{SONGS(R"({"id":7,"name":"Song","artists":[{"id":1,"name":"A"},{"name":"B"}],"duration":215000})"),
            {{7, "Song", {"A", "B"}, 215000}}},
          S{SONGS(""), {}}, S{SONGS(R"({"id":"1"},{"id":1.5},{"id":null},{},{"id":1e20},{"id":2})"), {{2, "", {}, 0}}},
          S{SONGS(R"({"id":3.0})"), {{3, "", {}, 0}}}, S{SONGS(R"({"id":5,"duration":1.5})"), {{5, "", {}, 0}}},
          S{SONGS(R"({"id":5,"name":7,"artists":"A","duration":"215000"})"), {{5, "", {}, 0}}},
          S{SONGS(R"({"id":5,"artists":[{"name":"A"},{"id":1},{"name":null},{"name":"B"}]})"),
            {{5, "", {"A", "B"}, 0}}},
          S{SONGS(R"({"id":5,"artists":[{"name":"A"},"B"]})"), {{5, "", {}, 0}}}})
        EXPECT_EQ(candidatesFromSearchReply(object(reply)), candidates) << reply;
    using L = std::tuple<const char*, std::optional<QString>, std::optional<QString>>;
    for (const auto& [reply, wordLevel, lineLevel] :
         {L{R"({"yrc":{"lyric":"w"},"lrc":{"lyric":"l"},"tlyric":{"lyric":"t"}})", "w", "l"},
          L{R"({"yrc":{"version":0,"lyric":""},"lrc":{"lyric":"l"}})", none, "l"},
          L{R"({"yrc":{"lyric":5},"lrc":null})", none, none}, L{R"({"yrc":"w","lrc":"l"})", none, none}}) {
        const LyricTexts texts = lyricTextsFromReply(object(reply));
        EXPECT_TRUE(texts.wordLevel == wordLevel && texts.lineLevel == lineLevel) << reply;
    }
    // The base is an http or https address with a host and nothing more; the query encodes every reserved character.
    EXPECT_EQ(service_address::readBase("https://example.org/"), QUrl("https://example.org"));
    EXPECT_EQ(service_address::readBase("http://127.0.0.1:9/proxy//"), QUrl("http://127.0.0.1:9/proxy"));
    for (const char* text :
         {"127.0.0.1:8080", "ftp://example.org", "http://", "file:///tmp/x", "http://example.org?a=b",
          "http://example.org#a", "http://me@example.org", "http://example.org:99999"})
        EXPECT_EQ(service_address::readBase(text), std::nullopt) << text;
    const LogLines log;
    qputenv("ZUVIK_LYRICS_BASE_URL", "not an address");
    const QUrl fallback = service_address::fromEnvironment();
    qputenv("ZUVIK_LYRICS_BASE_URL", "http://127.0.0.1:5/p/");
    const QUrl set = service_address::fromEnvironment();
    qunsetenv("ZUVIK_LYRICS_BASE_URL");
    EXPECT_EQ(fallback, QUrl("https://music.163.com"));
    EXPECT_EQ(set, QUrl("http://127.0.0.1:5/p"));
    EXPECT_EQ(service_address::fromEnvironment(), fallback);
    EXPECT_EQ(log.newMessages(),
              QStringList{"lyrics: ZUVIK_LYRICS_BASE_URL \"not an address\" is not an http or https address; "
                          "using https://music.163.com"});
    EXPECT_EQ(service_address::searchUrl(QUrl("http://h:1/p"), "Dan + Shay a&b=c/d é").toEncoded(),
              "http://h:1/p/api/search/get?s=Dan%20%2B%20Shay%20a%26b%3Dc%2Fd%20%C3%A9&type=1&limit=30&offset=0");
}

}  // namespace
