#include "lyrics/CandidateChoice.h"

#include "LyricsTestSupport.h"

#include <cmath>
#include <limits>

namespace {

Candidate candidate(std::int64_t id, const char* name, QStringList artists, std::int64_t durationMs = 0)
{
    return Candidate{id, QString::fromUtf8(name), std::move(artists), durationMs};
}

NowPlayingTrack track(const char* title, const char* artist, double duration = 0)
{
    return NowPlayingTrack{QString::fromUtf8(title), QString::fromUtf8(artist), duration};
}

QList<std::int64_t> idsOf(const QList<Candidate>& candidates)
{
    QList<std::int64_t> ids;
    for (const Candidate& c : candidates)
        ids.append(c.id);
    return ids;
}

struct MatchCase {
    const char* name;
    const char* candidateName;
    QStringList candidateArtists;
    const char* title;
    const char* artist;
    bool matches;
};

class Identity : public ::testing::TestWithParam<MatchCase> {};

TEST_P(Identity, Matches)
{
    const MatchCase& c = GetParam();
    EXPECT_EQ(matches(candidate(1, c.candidateName, c.candidateArtists), track(c.title, c.artist)), c.matches);
}

INSTANTIATE_TEST_SUITE_P(
    Titles, Identity,
    ::testing::Values(
        MatchCase{"Equal", "Song Title", {"A"}, "Song Title", "A", true},
        MatchCase{"CandidateAddsWords", "Song Title (Live)", {"A"}, "Song Title", "A", true},
        MatchCase{"TrackAddsWords", "Song", {"A"}, "Song Title", "A", true},
        MatchCase{"CandidateWrapsTheTitle", "The Song Title Again", {"A"}, "Song Title", "A", true},
        MatchCase{"TrackWrapsTheCandidate", "Song", {"A"}, "My Song Again", "A", true},
        MatchCase{"WholeWordsOnly", "Song", {"A"}, "Songbook", "A", false},
        MatchCase{"PrefixOfAWord", "Songbook", {"A"}, "Song", "A", false},
        MatchCase{"EditionNoteIgnored", "Song Title (Remastered)", {"A"}, "Song Title", "A", true},
        MatchCase{"EmptyCandidateName", "", {"A"}, "Song", "A", false},
        MatchCase{"EmptyTitleKey", "Song", {"A"}, "!!!", "A", false}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Artists, Identity,
    ::testing::Values(
        MatchCase{"SharedWordAcrossArtistNames", "Song", {"Mara Lind", "Guest"}, "Song", "Guest Star", true},
        MatchCase{"AnyOfSeveralTrackArtists", "Song", {"C"}, "Song", "A, B & C", true},
        MatchCase{"NoSharedWord", "Song", {"Other Person"}, "Song", "Mara Lind", false},
        MatchCase{"ArtistKeysAreNormalised", "Song", {"BEYONCÉ"}, "Song", "Beyoncé", true},
        MatchCase{"NoCandidateArtists", "Song", {}, "Song", "Mara Lind", false},
        MatchCase{"EmptyTrackArtistMatchesAnyone", "Song", {}, "Song", "", true},
        MatchCase{"PunctuationOnlyTrackArtist", "Song", {"X"}, "Song", "???", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SearchQuery, UsesThePrimaryArtistAndTheTitleKey)
{
    EXPECT_EQ(searchQuery(track("Song (Remastered 2011)", " A \t, B & C")), QStringLiteral("A song"));
    EXPECT_EQ(searchQuery(track("Song", "Simon & Garfunkel")), QStringLiteral("Simon song"));
    EXPECT_EQ(primaryArtist(u"&Lead"), QString());
}

// Reply order: 1 exact 1000 ms off, 2 wider title 0 ms off, 3 exact 0 ms off, 4 exact 3000 off,
// 5 exact 3001 off, 6 no identity.
QList<Candidate> reply()
{
    return {candidate(1, "Song", {"A"}, 201000), candidate(2, "Song (Live)", {"A"}, 200000),
            candidate(3, "Song", {"A"}, 200000), candidate(4, "Song", {"A"}, 197000),
            candidate(5, "Song", {"A"}, 203001), candidate(6, "Songs", {"A"}, 200000)};
}

TEST(ChooseCandidates, ExactTitlesFirstThenNearestDurationWithinTolerance)
{
    EXPECT_EQ(idsOf(chooseCandidates(reply(), track("Song", "A", 200.0), 3000)), (QList<std::int64_t>{3, 1, 4, 2}));
}

TEST(ChooseCandidates, WithoutDurationKeepsReplyOrderWithinEachClass)
{
    EXPECT_EQ(idsOf(chooseCandidates(reply(), track("Song", "A", 0), 3000)), (QList<std::int64_t>{1, 3, 4, 5, 2}));
}

TEST(ChooseCandidates, EqualDistancesKeepReplyOrder)
{
    const QList<Candidate> tied{candidate(7, "Song", {"A"}, 199000), candidate(8, "Song", {"A"}, 201000)};
    EXPECT_EQ(idsOf(chooseCandidates(tied, track("Song", "A", 200.0), 3000)), (QList<std::int64_t>{7, 8}));
}

TEST(ChooseCandidates, TargetIsRoundedTowardZero)
{
    // 200.9999 s is a target of 200999 ms: 203999 is 3000 off and stays, 204000 is not.
    const QList<Candidate> edge{candidate(1, "Song", {"A"}, 203999), candidate(2, "Song", {"A"}, 204000)};
    EXPECT_EQ(idsOf(chooseCandidates(edge, track("Song", "A", 200.9999), 3000)), (QList<std::int64_t>{1}));
}

TEST(ChooseCandidates, ExtremeReplyDurationsNeitherOverflowNorPass)
{
    constexpr auto lowest = std::numeric_limits<std::int64_t>::min();
    constexpr auto highest = std::numeric_limits<std::int64_t>::max();
    const QList<Candidate> extreme{candidate(1, "Song", {"A"}, lowest), candidate(2, "Song", {"A"}, highest)};
    EXPECT_TRUE(chooseCandidates(extreme, track("Song", "A", 200.0), 3000).isEmpty());
}

struct UnknownDurationCase {
    const char* name;
    double duration;
};

class UnknownDuration : public ::testing::TestWithParam<UnknownDurationCase> {};

// A duration that is no usable number must not decide anything (nor reach an integer conversion).
TEST_P(UnknownDuration, AcceptsCandidatesOfAnyLength)
{
    const QList<Candidate> any{candidate(1, "Song", {"A"}, 1), candidate(2, "Song", {"A"}, 999999999)};
    EXPECT_EQ(idsOf(chooseCandidates(any, track("Song", "A", GetParam().duration), 3000)), (QList<std::int64_t>{1, 2}));
}

INSTANTIATE_TEST_SUITE_P(
    Durations, UnknownDuration,
    ::testing::Values(UnknownDurationCase{"Zero", 0.0}, UnknownDurationCase{"Negative", -5.0},
                      UnknownDurationCase{"NaN", std::nan("")},
                      UnknownDurationCase{"Infinity", std::numeric_limits<double>::infinity()},
                      UnknownDurationCase{"MinusInfinity", -std::numeric_limits<double>::infinity()},
                      UnknownDurationCase{"PastTheMillisecondRange", 9.3e15},
                      UnknownDurationCase{"Huge", 1e300}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
