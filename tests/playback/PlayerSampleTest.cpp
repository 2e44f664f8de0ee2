#include "PlaybackTestSupport.h"

#include "playback/PlayerSample.h"

struct ReplyCase {
    const char* name;
    const char* reply;
    std::optional<PlayerSample> expected;  // sampledAt is always t0()
};

void PrintTo(const ReplyCase& c, std::ostream* out)
{
    *out << c.name;
}

static PlayerSample sample(const char* source, const char* title, const char* artist, double duration,
                           double position, bool playing)
{
    return PlayerSample{QString::fromUtf8(source), QString::fromUtf8(title), QString::fromUtf8(artist),
                        duration, position, playing, t0()};
}

static PlayerSample withUrl(PlayerSample s, const char* url)
{
    s.url = QString::fromUtf8(url);
    return s;
}

class ReadsReply : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(ReadsReply, IntoASampleOrNothing)
{
    EXPECT_EQ(PlayerSample::fromReply(QString::fromUtf8(GetParam().reply), t0()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    PlayerSample, ReadsReply,
    ::testing::Values(
        ReplyCase{"spotify_playing", "spotify\tTitle\tArtist\t215\t12.5\ttrue",
                  sample("spotify", "Title", "Artist", 215, 12.5, true)},
        ReplyCase{"music_paused", "music\tTitle\tArtist\t215.5\t0\tfalse",
                  sample("music", "Title", "Artist", 215.5, 0, false)},
        ReplyCase{"empty_reply", "", std::nullopt},
        ReplyCase{"five_fields", "spotify\tTitle\tArtist\t215\t12.5", std::nullopt},
        ReplyCase{"seventh_field_is_the_url_later_ones_ignored", "music\tT\tA\t215\t1\ttrue\textra\t\t",
                  withUrl(sample("music", "T", "A", 215, 1, true), "extra")},
        ReplyCase{"file_url", "music\tT\tA\t215\t1\ttrue\tfile:///m/a%20b.flac",
                  withUrl(sample("music", "T", "A", 215, 1, true), "file:///m/a%20b.flac")},
        ReplyCase{"empty_seventh_field_is_no_url", "music\tT\tA\t215\t1\ttrue\t",
                  sample("music", "T", "A", 215, 1, true)},
        ReplyCase{"empty_text_fields_are_kept", "spotify\t\t\t215\t1\ttrue", sample("spotify", "", "", 215, 1, true)},
        ReplyCase{"fields_are_not_trimmed", "spotify\t Title \t Artist \t215\t1\ttrue",
                  sample("spotify", " Title ", " Artist ", 215, 1, true)},
        ReplyCase{"comma_as_decimal_separator", "spotify\tT\tA\t215,5\t1\ttrue", std::nullopt},
        ReplyCase{"leading_blank_in_duration", "spotify\tT\tA\t 215\t1\ttrue", std::nullopt},
        ReplyCase{"leading_line_feed_in_position", "spotify\tT\tA\t215\t\n1\ttrue", std::nullopt},
        ReplyCase{"trailing_blank_in_position", "spotify\tT\tA\t215\t1 \ttrue", std::nullopt},
        ReplyCase{"empty_duration", "spotify\tT\tA\t\t1\ttrue", std::nullopt},
        ReplyCase{"word_for_a_duration", "music\tT\tA\tmissing value\t1\ttrue", std::nullopt},
        ReplyCase{"exponent_as_applescript_writes_it", "music\tT\tA\t1.0E+4\t2.5E-1\ttrue",
                  sample("music", "T", "A", 10000, 0.25, true)},
        ReplyCase{"plus_sign", "music\tT\tA\t+215\t-1.5\ttrue", sample("music", "T", "A", 215, -1.5, true)},
        ReplyCase{"two_signs", "music\tT\tA\t+-215\t1\ttrue", std::nullopt},
        ReplyCase{"position_of_several_hours", "music\tT\tA\t36000\t35999.75\ttrue",
                  sample("music", "T", "A", 36000, 35999.75, true)},
        ReplyCase{"nan_duration_would_never_equal_itself", "music\tT\tA\tnan\t1\ttrue", std::nullopt},
        ReplyCase{"infinite_position", "music\tT\tA\t215\tinf\ttrue", std::nullopt},
        ReplyCase{"out_of_range_number", "music\tT\tA\t1e400\t1\ttrue", std::nullopt},
        ReplyCase{"tab_in_title_shifts_the_fields", "spotify\tLeft\tRight\tArtist\t215\t1\ttrue", std::nullopt},
        ReplyCase{"capital_True_is_not_playing", "spotify\tT\tA\t215\t1\tTrue", sample("spotify", "T", "A", 215, 1, false)},
        ReplyCase{"yes_is_not_playing", "spotify\tT\tA\t215\t1\tyes", sample("spotify", "T", "A", 215, 1, false)},
        ReplyCase{"true_with_line_feed_is_not_playing", "spotify\tT\tA\t215\t1\ttrue\n",
                  sample("spotify", "T", "A", 215, 1, false)}),
    [](const auto& info) { return std::string(info.param.name); });
