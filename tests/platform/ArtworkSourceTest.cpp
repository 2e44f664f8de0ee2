// Where the players' artwork is: Spotify's addresses, the macOS scripts' answers and their order.
#include "FakeOsascript.h"

#include "platform/mpris/MprisArtworkSource.h"
#include "platform/osascript/OsascriptArtworkSource.h"

#include <gtest/gtest.h>

namespace {

struct RewriteCase {
    const char* reported;
    const char* fetched;
};

class SpotifyAddress : public ::testing::TestWithParam<RewriteCase> {};
TEST_P(SpotifyAddress, PagesOfOldClientsBecomeTheirPictures)
{
    EXPECT_EQ(spotifyArtworkUrl(QUrl(QString::fromUtf8(GetParam().reported))).toString(),
              QString::fromUtf8(GetParam().fetched));
}
INSTANTIATE_TEST_SUITE_P(
    Rewrite, SpotifyAddress,
    ::testing::Values(
        RewriteCase{"http://open.spotify.com/image/ab67616d0000b273", "https://i.scdn.co/image/ab67616d0000b273"},
        RewriteCase{"https://OPEN.SPOTIFY.COM/image/ab67", "https://i.scdn.co/image/ab67"},
        RewriteCase{"https://open.spotify.com/image/", "https://open.spotify.com/image/"},
        RewriteCase{"https://open.spotify.com/track/ab67", "https://open.spotify.com/track/ab67"},
        RewriteCase{"https://open.spotify.com/image/ab67/extra", "https://open.spotify.com/image/ab67/extra"},
        RewriteCase{"https://open.spotify.com.example/image/ab67", "https://open.spotify.com.example/image/ab67"},
        RewriteCase{"file:///open.spotify.com/image/ab67", "file:///open.spotify.com/image/ab67"}));

struct AnswerCase {
    const char* answer;
    const char* address;  // nullptr: none
};

class SpotifyScriptAnswer : public ::testing::TestWithParam<AnswerCase> {};
TEST_P(SpotifyScriptAnswer, GivesAnAddressOnlyAfterUrlAndATab)
{
    const std::optional<QUrl> url = spotifyArtworkAddress(QString::fromUtf8(GetParam().answer));
    EXPECT_EQ(url ? url->toString().toStdString() : "none", GetParam().address ? GetParam().address : "none");
}
INSTANTIATE_TEST_SUITE_P(
    Answers, SpotifyScriptAnswer,
    ::testing::Values(AnswerCase{"url\thttps://i.scdn.co/image/ab67", "https://i.scdn.co/image/ab67"},
                      AnswerCase{"url\t", nullptr}, AnswerCase{"url https://i.scdn.co/image/ab67", nullptr},
                      AnswerCase{"URL\thttps://i.scdn.co/image/ab67", nullptr},
                      AnswerCase{"url\tnot an address", nullptr}, AnswerCase{"", nullptr}));

struct RawDataCase {
    const char* printed;
    std::optional<QByteArray> bytes;
};

class RawData : public ::testing::TestWithParam<RawDataCase> {};
TEST_P(RawData, IsReadFromOsascriptsHexForm)
{
    EXPECT_EQ(osascriptRawData(QString::fromUtf8(GetParam().printed)), GetParam().bytes) << GetParam().printed;
}
INSTANTIATE_TEST_SUITE_P(
    Printed, RawData,
    ::testing::Values(RawDataCase{"«data tdta89504E470D0A1A0A»", QByteArray("\x89PNG\r\n\x1a\n")},
                      RawDataCase{"«data PNGf»", QByteArray()}, RawDataCase{"«data tdta89504E4»", std::nullopt},
                      RawDataCase{"«data tdta89504G47»", std::nullopt}, RawDataCase{"«data tdta89504E47", std::nullopt},
                      RawDataCase{"«data tdt»", std::nullopt}, RawDataCase{"89504E470D0A1A0A", std::nullopt},
                      RawDataCase{"missing value", std::nullopt}));

const QByteArray cover = "\x89PNG\r\n\x1a\n and the rest of a picture";

struct AskCase {
    const char* fault;
    std::optional<QString> reply;  // both scripts get it; nothing: they fail
    ArtworkLocation found;
    bool asksMusic;  // only when Spotify gives no usable address
};

class OsascriptArtwork : public ::testing::TestWithParam<AskCase> {};
TEST_P(OsascriptArtwork, AsksSpotifyThenMusic)
{
    FakeOsascript osascript;
    if (GetParam().reply)
        osascript.reply(*GetParam().reply);
    else
        osascript.fail("27:155: execution error: Not authorized to send Apple events to Music. (-1743)");
    const std::unique_ptr<ArtworkSource> source = OsascriptArtworkSource::create();
    ASSERT_TRUE(source);
    EXPECT_EQ(source->currentArtwork(), GetParam().found) << GetParam().fault;
    EXPECT_EQ(osascript.lastScript(), GetParam().asksMusic ? musicArtworkScript() : spotifyArtworkScript());
}

const std::vector<AskCase> askCases = {
    {"spotify_address_ends_search", "url\thttps://i.scdn.co/image/ab67", QUrl("https://i.scdn.co/image/ab67"), false},
    {"without_an_address_musics_bytes", "«data PNGf" + QString::fromLatin1(cover.toHex()) + "»", cover, true},
    {"an_empty_address_asks_music", "url\t", {}, true},
    {"script_errors_give_no_artwork", std::nullopt, {}, true}};
INSTANTIATE_TEST_SUITE_P(Osascript, OsascriptArtwork, ::testing::ValuesIn(askCases));

}  // namespace
