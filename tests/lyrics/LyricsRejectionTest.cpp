// Sending a wrong match away, against the loopback service: the next candidate is tried, and the
// rejected one never comes back for the track, also after a restart.
#include "LyricsServiceFixture.h"

#include "lyrics/RejectedCandidates.h"

using namespace service_test;

namespace {

const QString rejected5002 =
    QStringLiteral("lyrics: rejected ncm 5002 \"Lanterns\" by Jonas Vey for Mara Lind & Jonas Vey — Lanterns");
const QString noOtherMatch = QStringLiteral("lyrics: no other match for Mara Lind & Jonas Vey — Lanterns");
const QString interpolatedFrom5008 = QStringLiteral("lyrics: interpolated from line-level (20 words)");

class Rejection : public LyricsService {
protected:
    void SetUp() override
    {
        LyricsService::SetUp();
        // 5004, 5008, 5002, 5009, 5001 are probed in this order; 5002 gives word-level lyrics.
        server.setReply(lyricPath, QStringLiteral("5008"), dataReply("lyric_line_level.json"));
        server.setReply(lyricPath, QStringLiteral("5002"), dataReply("lyric_word_level.json"));
    }

    QStringList idsRequestedSince(qsizetype before) const { return lyricIdsRequested().mid(before); }
};

TEST_F(Rejection, OfAKnownCandidateTriesTheNextAndItStaysRejectedAfterARestart)
{
    const Outcome wrong = lookUp();
    ASSERT_EQ(wrong.origin.kind, LyricsOrigin::Kind::service);
    ASSERT_EQ(wrong.origin.candidate.id, 5002);
    const qsizetype before = lyricIdsRequested().size();
    const LogLines afterWrong;

    const Outcome retried = outcomeOf(provider().retry(lanterns, wrong.origin, *wrong.lyrics));

    // 5002 takes no probe: the four are the others in their order.
    EXPECT_EQ(idsRequestedSince(before), (QStringList{"5004", "5008", "5009", "5001"}));
    ASSERT_TRUE(retried.lyrics);
    EXPECT_EQ(retried.lyrics->tier(), LyricTier::interpolated);
    EXPECT_EQ(retried.origin.kind, LyricsOrigin::Kind::service);
    EXPECT_EQ(retried.origin.candidate.id, 5008);
    expectMessages(afterWrong.newMessages(), {rejected5002, "lyrics: dropped 5 translation-line words", interpolatedFrom5008});

    // A restart with the cache gone asks the service again, and 5002 is still out.
    QFile::remove(cacheFile(lanterns));
    const std::unique_ptr<LyricsProvider> restarted = makeProvider();
    const qsizetype beforeRestart = lyricIdsRequested().size();
    EXPECT_EQ(lookUpWith(*restarted, lanterns).origin.candidate.id, 5008);
    EXPECT_FALSE(idsRequestedSince(beforeRestart).contains(QStringLiteral("5002")));
}

TEST_F(Rejection, OfCachedLyricsFindsTheirCandidateByTheirWords)
{
    lookUp();
    const std::unique_ptr<LyricsProvider> restarted = makeProvider();
    const Outcome cached = lookUpWith(*restarted, lanterns);
    ASSERT_EQ(cached.origin.kind, LyricsOrigin::Kind::cache);
    const qsizetype before = lyricIdsRequested().size();
    const LogLines afterCached;

    const Outcome retried = outcomeOf(restarted->retry(lanterns, cached.origin, *cached.lyrics));

    // The wrong text is fetched once more to learn whose it is, without costing the others a probe.
    EXPECT_EQ(idsRequestedSince(before), (QStringList{"5004", "5008", "5002", "5009", "5001"}));
    EXPECT_EQ(retried.origin.candidate.id, 5008);
    expectMessages(afterCached.newMessages(),
                   {rejected5002, "lyrics: dropped 5 translation-line words", interpolatedFrom5008});
    EXPECT_EQ(RejectedCandidates(rejectionsFile()).rejectedFor(lanterns), QSet<std::int64_t>{5002});
    EXPECT_NE(cached.lyrics, retried.lyrics);
}

TEST_F(Rejection, OfTheLastMatchShowsNothingAndSaysSoThenAndLater)
{
    const QJsonObject only{{"id", 7001}, {"name", "Lanterns"}, {"artists", QJsonArray{QJsonObject{{"name", "Mara Lind"}}}},
                           {"duration", 214600}};
    server.setReply(searchPath, Reply::json(searchReplyOf(QJsonArray{only})));
    server.setReply(lyricPath, QStringLiteral("7001"), dataReply("lyric_word_level.json"));
    const Outcome wrong = lookUp();
    ASSERT_EQ(wrong.origin.candidate.id, 7001);
    const LogLines afterWrong;

    const Outcome retried = outcomeOf(provider().retry(lanterns, wrong.origin, *wrong.lyrics));
    const Outcome later = lookUp();

    EXPECT_EQ(retried.lyrics, std::nullopt);
    EXPECT_TRUE(retried.origin.noOtherMatch);
    EXPECT_TRUE(later.origin.noOtherMatch);
    EXPECT_EQ(lyricIdsRequested(), QStringList{"7001"});
    EXPECT_FALSE(QFile::exists(cacheFile(lanterns)));
    expectMessages(afterWrong.newMessages(),
                   {"lyrics: rejected ncm 7001 \"Lanterns\" by Mara Lind for Mara Lind & Jonas Vey — Lanterns",
                    noOtherMatch, noOtherMatch});
}

TEST_F(Rejection, RejectedCandidatesInTheFileAreSkippedBeforeTheProbesAreCounted)
{
    {
        RejectedCandidates earlier(rejectionsFile());
        earlier.reject(lanterns, 5004);
    }
    server.setReply(lyricPath, QStringLiteral("5008"), dataReply("lyric_none.json"));
    server.setReply(lyricPath, QStringLiteral("5002"), dataReply("lyric_none.json"));

    const Outcome outcome = lookUp();

    QStringList expected;
    for (const Candidate& candidate : outcome.matches) {
        if (candidate.id != 5004 && expected.size() < LyricsProvider::maxCandidateProbes)
            expected.append(QString::number(candidate.id));
    }
    ASSERT_EQ(expected.size(), LyricsProvider::maxCandidateProbes);
    EXPECT_EQ(lyricIdsRequested(), expected);
    // Nothing found, with rejections in play: the log says so.
    expectMessages(log.newMessages(), {nothingUsable, noOtherMatch});
}

TEST_F(Rejection, LeavesNormalLookupsAsTheyWereWhenNothingIsRejected)
{
    lookUp();
    EXPECT_FALSE(QFile::exists(rejectionsFile()));
    expectMessages(log.newMessages(), {"lyrics: word-level via ncm 5002 \"Lanterns\" by Jonas Vey (21 words)"});
}

}  // namespace
