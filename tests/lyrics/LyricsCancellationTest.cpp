// Cancelling a lookup: the request in flight is aborted at once, nothing is answered, and the
// lookup runs to its end without the network.
#include "LyricsServiceFixture.h"

#include <QPointer>

using namespace service_test;

namespace {

class Cancellation : public LyricsService {
protected:
    // Starts a lookup whose answer is recorded in answered; the lookup deletes itself when done.
    QPointer<LyricsLookup> start(LyricsProvider& provider, const NowPlayingTrack& track = lanterns)
    {
        QPointer<LyricsLookup> lookup = provider.lookup(track);
        QObject::connect(lookup, &LyricsLookup::finished, lookup, [this] { answered = true; });
        return lookup;
    }

    bool answered = false;
};

TEST_F(Cancellation, AbortsTheSearchInFlightAtOnceAndNeverAnswers)
{
    server.setReply(searchPath, Reply::stalling());
    const std::unique_ptr<LyricsProvider> provider = makeProvider(60s);
    QPointer<LyricsLookup> lookup = start(*provider);
    ASSERT_TRUE(waitFor([&] { return server.openConnections() == 1; }));

    lookup->cancel();

    // Far sooner than the 60 s time-out (10 s leaves room for a loaded machine): the abort itself
    // closes the connection.
    EXPECT_TRUE(waitFor([&] { return server.openConnections() == 0 && lookup.isNull(); }, 10s));
    runEventLoopFor(100ms);
    EXPECT_FALSE(answered);
    EXPECT_EQ(server.requests().size(), 1);
    expectMessages(log.newMessages(), {cancelled, noCandidate});
}

TEST_F(Cancellation, RunsToItsEndWithoutTheNetworkWhenCancelledDuringAProbe)
{
    server.setReply(lyricPath, QStringLiteral("5004"), Reply::stalling());
    server.setReply(lyricPath, QStringLiteral("5008"), dataReply("lyric_word_level.json"));
    const std::unique_ptr<LyricsProvider> provider = makeProvider(60s);
    QPointer<LyricsLookup> lookup = start(*provider);
    ASSERT_TRUE(waitFor([&] { return server.requestsFor(lyricPath).size() == 1; }));

    lookup->cancel();

    EXPECT_TRUE(waitFor([&] { return server.openConnections() == 0 && lookup.isNull(); }, 10s));
    EXPECT_FALSE(answered);
    EXPECT_EQ(lyricIdsRequested(), QStringList{"5004"});
    expectMessages(log.newMessages(), {cancelled, cancelled, cancelled, cancelled, nothingUsable});
    EXPECT_FALSE(QFile::exists(cacheFile(lanterns)));
}

TEST_F(Cancellation, BeforeItStartsSendsNothingAndLeavesOtherLookupsAlone)
{
    server.setReply(lyricPath, QStringLiteral("5004"), dataReply("lyric_word_level.json"));
    const std::unique_ptr<LyricsProvider> provider = makeProvider();
    QPointer<LyricsLookup> cancelledLookup = start(*provider, NowPlayingTrack{"Other", "Someone", 100});
    cancelledLookup->cancel();

    const Outcome other = lookUpWith(*provider, lanterns);

    EXPECT_TRUE(waitFor([&] { return cancelledLookup.isNull(); }));
    EXPECT_FALSE(answered);
    EXPECT_TRUE(other.lyrics);
    EXPECT_EQ(server.requestsFor(searchPath).size(), 1);
    EXPECT_EQ(server.requestsFor(searchPath)[0].queryValue("s"), QStringLiteral("Mara Lind lanterns"));
}

TEST_F(Cancellation, DestroyingTheProviderEndsItsLookupsAndTheirConnections)
{
    server.setReply(searchPath, Reply::stalling());
    std::unique_ptr<LyricsProvider> provider = makeProvider(60s);
    QPointer<LyricsLookup> lookup = start(*provider);
    ASSERT_TRUE(waitFor([&] { return server.openConnections() == 1; }));

    provider.reset();

    EXPECT_TRUE(lookup.isNull());
    EXPECT_TRUE(waitFor([&] { return server.openConnections() == 0; }, 10s));
    EXPECT_FALSE(answered);
}

}  // namespace
