#include "lyrics/SearchKey.h"

#include "LyricsTestSupport.h"

namespace {

struct KeyCase {
    const char* name;
    const char* text;
    const char* key;
};

class SearchKey : public ::testing::TestWithParam<KeyCase> {};

TEST_P(SearchKey, Normalises)
{
    EXPECT_EQ(searchKey(QString::fromUtf8(GetParam().text)), QString::fromUtf8(GetParam().key));
}

INSTANTIATE_TEST_SUITE_P(
    Titles, SearchKey,
    ::testing::Values(
        KeyCase{"FeaturingNote", "Song Title (feat. Someone)", "song title"},
        KeyCase{"FtWithASpace", "Song (ft Someone)", "song"},
        KeyCase{"WithNote", "Song (with Friend)", "song"},
        KeyCase{"FeatMustEndInADotOrSpace", "Song (feature film)", "song feature film"},
        KeyCase{"RadioEditSuffix", "Song Title - Radio Edit", "song title"},
        KeyCase{"RemasteredThenYear", "Song (Remastered 2011)", "song"},
        KeyCase{"YearThenRemaster", "Song (2011 Remaster)", "song"},
        KeyCase{"DashedRemaster", "Song - 2011 Remaster", "song"},
        KeyCase{"PlainYearStays", "Song (2011)", "song 2011"},
        KeyCase{"LiveInParenthesesStays", "Song Title (Live)", "song title live"},
        KeyCase{"DeluxeEdition", "Song (Deluxe Edition)", "song"},
        KeyCase{"SquareBrackets", "Song [Official Video] Title", "song title"},
        KeyCase{"SourceNote", "Theme (From \"The Film\")", "theme"},
        KeyCase{"DashWithoutVersionWordStays", "Song - Part Two", "song part two"},
        KeyCase{"HyphenInsideAWordIsNoSuffix", "Re-Mix", "re mix"},
        KeyCase{"UnicodeSpacesAroundTheDash", "Song\xC2\xA0-\xC2\xA0Live", "song"},
        KeyCase{"Diacritics", "Café del Mar", "cafe del mar"},
        KeyCase{"FullWidthLettersDigitsAndSpace", "ＳＯＮＧ\xE3\x80\x80１２", "song 12"},
        KeyCase{"HalfWidthKanaLikeFullWidth", "ｶﾞｷ", "カキ"},
        KeyCase{"VoicedKanaLoseTheirMark", "ガキ", "カキ"},
        KeyCase{"HangulStaysComposed", "한국 노래", "한국 노래"},
        KeyCase{"IdeographsStay", "晴天 (Live)", "晴天 live"},
        KeyCase{"NonAsciiDigitsAreNumbers", "Song ٢٠١١", "song ٢٠١١"},
        KeyCase{"EmojiAndPunctuationGo", "Song 🎵!!! — Title?", "song title"},
        KeyCase{"RunsOfWhitespace", "  Song \t Title  ", "song title"},
        KeyCase{"OnlyPunctuation", "?!…", ""},
        KeyCase{"Empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
