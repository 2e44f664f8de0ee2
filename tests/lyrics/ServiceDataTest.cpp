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

TEST(TextFunction, NormalisesKeysAndNames)
{
    const struct { const char* name; QString (*function)(QStringView); QString in, out; } cases[] = {
        {"Feat", searchKey, "Song Title (feat. Someone)", "song title"}, {"Ft", searchKey, "Song (ft Someone)", "song"},
        {"With", searchKey, "Song (with Friend)", "song"}, {"Feature", searchKey, "Song (feature film)", "song feature film"},
        {"RadioEdit", searchKey, "Song Title - Radio Edit", "song title"}, {"YearLast", searchKey, "Song (Remastered 2011)", "song"},
        {"YearFirst", searchKey, "Song (2011 Remaster)", "song"}, {"DashedRemaster", searchKey, "Song - 2011 Remaster", "song"},
        {"PlainYearStays", searchKey, "Song (2011)", "song 2011"}, {"LiveStays", searchKey, "Song (Live)", "song live"},
        {"Deluxe", searchKey, "Song (Deluxe Edition)", "song"}, {"Brackets", searchKey, "Song [Official Video] Title", "song title"},
        {"Source", searchKey, "Theme (From \"The Film\")", "theme"}, {"DashStays", searchKey, "Song - Part Two", "song part two"},
        {"Hyphen", searchKey, "Re-Mix", "re mix"}, {"UnicodeSpaces", searchKey, "Song\xC2\xA0-\xC2\xA0Live", "song"},
        {"Diacritics", searchKey, "Café del Mar", "cafe del mar"}, {"FullWidth", searchKey, "ＳＯＮＧ\xE3\x80\x80１２", "song 12"},
        {"HalfWidthKana", searchKey, "ｶﾞｷ", "カキ"}, {"VoicedKana", searchKey, "ガキ", "カキ"},
        {"Hangul", searchKey, "한국 노래", "한국 노래"}, {"Ideographs", searchKey, "晴天 (Live)", "晴天 live"},
        {"NonAsciiDigits", searchKey, "Song ٢٠١١", "song ٢٠١١"}, {"OnlyPunctuation", searchKey, "?!…", ""},
        {"EmojiPunctuationAndSpaces", searchKey, "  Song 🎵!!! —\t Title?", "song title"},
        {"PrimaryArtist", primaryArtist, " A \t, B & C", "A"}, {"PrimaryArtistAmpersand", primaryArtist, "Simon & G", "Simon"},
        {"NoPrimaryArtist", primaryArtist, "&Lead", ""}, {"SlugPunctuation", cacheSlug, "?|a/b|0", "__a_b_0"},
        {"SlugKeepsEightyCharacters", cacheSlug, QString(79, u'x') + "y|first|1", QString(79, u'x') + "y"},
        {"SlugCountsCharacters", cacheSlug, QString("e\u0301").repeated(81), QString("e\u0301").repeated(80)},
        {"FileName", cacheFileName, "Artist|Song Title|215", "Artist_Song_Title_215-0d427da5.json"},
        {"FileNameHashesUtf8", cacheFileName, "é", "é-1e9de8c1.json"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.function(c.in), c.out);
    }
}

// Whatever a track's text, its file is one plain name inside the cache folder, of at most 255 bytes.
TEST(CacheFileName, IsOnePlainNameForAnyKey)
{
    static const QRegularExpression shape(QStringLiteral(R"(^[\p{L}\p{M}\p{N}_]+-[0-9a-f]{8}\.json$)"));
    for (const QString& key : {QString("../../etc|passwd|0"), QString("..\\x|\x01\n|0"), QString("𠀀").repeated(80) + "|x|1",
                               "a" + QString(70, QChar(0x0301)) + "|x|1"}) {
        const QString name = cacheFileName(key);
        EXPECT_TRUE(shape.match(name).hasMatch() && name.toUtf8().size() <= 255) << name.toStdString();
    }
    EXPECT_NE(cacheFileName(u"a/b|c|0"), cacheFileName(u"a.b|c|0"));  // one slug, two keys
}

TEST(CacheKey, RoundsHalvesAwayFromZeroAndUnusableDurationsToZero)
{
    const std::pair<double, const char*> cases[] = {{214.4, "214"}, {214.5, "215"}, {-0.5, "-1"}, {std::nan(""), "0"}, {inf, "0"},
                                                    {9.3e15, "0"}, {9.2e15, "9200000000000000"}};
    for (const auto& [duration, seconds] : cases)
        EXPECT_EQ(cacheKey(NowPlayingTrack{"T", "A", duration}), QStringLiteral("A|T|") + seconds) << duration;
    EXPECT_EQ(searchQuery(NowPlayingTrack{"Song (Remastered 2011)", " A \t, B & C", 0}), QStringLiteral("A song"));
}

Candidate candidate(std::int64_t id, const char* name, QStringList artists = {"A"}, std::int64_t ms = 0) { return {id, name, artists, ms}; }

TEST(Identity, NeedsTheTitleWordsAndAnArtistWord)
{
    const struct { const char *name, *candidate; QStringList artists; const char *title, *artist; bool matches; } cases[] = {
        {"Equal", "Song Title", {"A"}, "Song Title", "A", true},
        {"CandidateAddsWords", "Song Title (Live)", {"A"}, "Song Title", "A", true},
        {"TrackAddsWords", "Song", {"A"}, "Song Title", "A", true},
        {"CandidateWraps", "The Song Title Again", {"A"}, "Song Title", "A", true},
        {"TrackWraps", "Song", {"A"}, "My Song Again", "A", true},
        {"WholeWordsOnly", "Song", {"A"}, "Songbook", "A", false}, {"Prefix", "Songbook", {"A"}, "Song", "A", false},
        {"InsideAWord", "Big Songbook", {"A"}, "Song", "A", false}, {"EmptyName", "", {"A"}, "Song", "A", false},
        {"EmptyTitleKey", "Song", {"A"}, "!!!", "A", false},
        {"SharedArtistWord", "Song", {"Mara Lind", "Guest"}, "Song", "Guest Star", true},
        {"AnyTrackArtist", "Song", {"C"}, "Song", "A, B & C", true}, {"NoSharedWord", "Song", {"Other Person"}, "Song", "Mara Lind", false},
        {"ArtistsNormalised", "Song", {"BEYONCÉ"}, "Song", "Beyoncé", true}, {"NoCandidateArtists", "Song", {}, "Song", "Mara Lind", false},
        {"EmptyTrackArtist", "Song", {}, "Song", "", true}, {"PunctuationArtist", "Song", {"X"}, "Song", "???", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(matches(candidate(1, c.candidate, c.artists), NowPlayingTrack{c.title, c.artist, 0}), c.matches);
    }
}

// 1 exact 1000 ms off, 2 wider title 0 off, 3 exact 0 off, 4 exact 3000 off, 5 exact 3001 off, 6 no identity.
const QList<Candidate> mixed = {candidate(1, "Song", {"A"}, 201000), candidate(2, "Song (Live)", {"A"}, 200000),
                                candidate(3, "Song", {"A"}, 200000),  candidate(4, "Song", {"A"}, 197000),
                                candidate(5, "Song", {"A"}, 203001),  candidate(6, "Songs", {"A"}, 200000)};
const QList<Candidate> anyLength = {candidate(1, "Song", {"A"}, 1), candidate(2, "Song", {"A"}, 999999999)};

TEST(Choice, KeepsMatchesWithinToleranceExactTitlesFirstThenNearest)
{
    const struct { const char* name; QList<Candidate> reply; double duration; QList<std::int64_t> ids; } cases[] = {
        {"ExactTitlesFirstThenNearest", mixed, 200.0, {3, 1, 4, 2}}, {"WithoutDurationReplyOrder", mixed, 0, {1, 3, 4, 5, 2}},
        {"TiesKeepReplyOrder", {candidate(7, "Song", {"A"}, 199000), candidate(8, "Song", {"A"}, 201000)}, 200.0, {7, 8}},
        {"TargetRoundedTowardZero", {candidate(1, "Song", {"A"}, 203999), candidate(2, "Song", {"A"}, 204000)}, 200.9999, {1}},
        {"ExtremeDurationsDoNotOverflow", {candidate(1, "Song", {"A"}, std::numeric_limits<std::int64_t>::min()),
            candidate(2, "Song", {"A"}, std::numeric_limits<std::int64_t>::max())}, 200.0, {}},
        {"NegativeDurationIsUnknown", anyLength, -5.0, {1, 2}}, {"NaNIsUnknown", anyLength, std::nan(""), {1, 2}},
        {"InfinityIsUnknown", anyLength, inf, {1, 2}}, {"PastTheRangeIsUnknown", anyLength, 9.3e15, {1, 2}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QList<std::int64_t> ids;
        for (const Candidate& chosen : chooseCandidates(c.reply, NowPlayingTrack{"Song", "A", c.duration}, 3000))
            ids.append(chosen.id);
        EXPECT_EQ(ids, c.ids);
    }
}

QJsonObject object(const char* json) { return QJsonDocument::fromJson(json).object(); }

#define SONGS(songs) R"({"result":{"songs":[)" songs "]}}"

// A search's candidates (nothing: no list of songs) and a song's two texts, whatever the reply's shape.
TEST(ServiceReplies, ReadWhatFitsAndSkipTheRest)
{
    const auto none = std::nullopt;
    const std::pair<const char*, std::optional<QList<Candidate>>> searches[] = {
        {SONGS(R"({"id":7,"name":"Song","artists":[{"id":1,"name":"A"},{"name":"B"}],"duration":215000})"),
         QList<Candidate>{{7, "Song", {"A", "B"}, 215000}}},
        {R"({"code":200})", none}, {R"({"result":[]})", none}, {R"({"result":{"songCount":0}})", none},
        {R"({"result":{"songs":{"id":1}}})", none}, {SONGS(R"({"id":1},2)"), none}, {SONGS(""), QList<Candidate>{}},
        {SONGS(R"({"id":"1"},{"id":1.5},{"id":null},{},{"id":1e20},{"id":2})"), QList<Candidate>{{2, "", {}, 0}}},
        {SONGS(R"({"id":3.0})"), QList<Candidate>{{3, "", {}, 0}}}, {SONGS(R"({"id":5,"duration":1.5})"), QList<Candidate>{{5, "", {}, 0}}},
        {SONGS(R"({"id":5,"name":7,"artists":"A","duration":"215000"})"), QList<Candidate>{{5, "", {}, 0}}},
        {SONGS(R"({"id":5,"artists":[{"name":"A"},{"id":1},{"name":null},{"name":"B"}]})"), QList<Candidate>{{5, "", {"A", "B"}, 0}}},
        {SONGS(R"({"id":5,"artists":[{"name":"A"},"B"]})"), QList<Candidate>{{5, "", {}, 0}}}};
    for (const auto& [reply, candidates] : searches)
        EXPECT_EQ(candidatesFromSearchReply(object(reply)), candidates) << reply;
    const std::tuple<const char*, std::optional<QString>, std::optional<QString>> lyrics[] = {
        {R"({"yrc":{"lyric":"w"},"lrc":{"lyric":"l"},"tlyric":{"lyric":"t"}})", "w", "l"},
        {R"({"yrc":{"version":0,"lyric":""},"lrc":{"lyric":"l"}})", none, "l"}, {R"({"yrc":{"lyric":5},"lrc":null})", none, none},
        {R"({"yrc":"w","lrc":"l"})", none, none}};
    for (const auto& [reply, wordLevel, lineLevel] : lyrics) {
        const LyricTexts texts = lyricTextsFromReply(object(reply));
        EXPECT_TRUE(texts.wordLevel == wordLevel && texts.lineLevel == lineLevel) << reply;
    }
}

TEST(ServiceBase, IsAnHttpOrHttpsAddressWithAHostAndNothingMore)
{
    const std::pair<const char*, const char*> cases[] = {
        {"http://127.0.0.1:8080", "http://127.0.0.1:8080"}, {"https://example.org/", "https://example.org"},
        {"http://127.0.0.1:9/proxy//", "http://127.0.0.1:9/proxy"}, {"127.0.0.1:8080", nullptr}, {"ftp://example.org", nullptr},
        {"http://", nullptr}, {"file:///tmp/x", nullptr}, {"http://example.org?a=b", nullptr}, {"http://example.org#a", nullptr},
        {"http://me@example.org", nullptr}, {"http://example.org:99999", nullptr}};
    for (const auto& [text, base] : cases)
        EXPECT_EQ(service_address::readBase(text), base ? std::optional(QUrl(base)) : std::nullopt) << text;
}

TEST(ServiceAddress, FromTheEnvironmentAndEncodingEveryReservedCharacter)
{
    const LogLines log;
    qputenv("ZUVIK_LYRICS_BASE_URL", "not an address");
    const QUrl fallback = service_address::fromEnvironment();
    qputenv("ZUVIK_LYRICS_BASE_URL", "http://127.0.0.1:5/p/");
    const QUrl set = service_address::fromEnvironment();
    qunsetenv("ZUVIK_LYRICS_BASE_URL");
    EXPECT_EQ(fallback, QUrl("https://music.163.com"));
    EXPECT_EQ(set, QUrl("http://127.0.0.1:5/p"));
    EXPECT_EQ(service_address::fromEnvironment(), fallback);
    EXPECT_EQ(log.newMessages(), QStringList{"lyrics: ZUVIK_LYRICS_BASE_URL \"not an address\" is not an http or https address; "
                                             "using https://music.163.com"});
    EXPECT_EQ(service_address::searchUrl(QUrl("http://h:1/p"), "Dan + Shay a&b=c/d é").toEncoded(),
              "http://h:1/p/api/search/get?s=Dan%20%2B%20Shay%20a%26b%3Dc%2Fd%20%C3%A9&type=1&limit=30&offset=0");
}

}  // namespace
