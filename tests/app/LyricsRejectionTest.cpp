// "Wrong Lyrics — Try Another" over the engine, the real lyrics provider and a loopback service,
// and `zuvik lyrics --reject`'s call on a private session bus.
#include "app/LyricEngine.h"
#include "app/LyricsRejection.h"
#include "lyrics/LyricsProvider.h"
#include "platform/dbus/LyricsRequestBus.h"

#include "EventLoopWait.h"
#include "LoopbackHttpServer.h"
#include "PrivateBus.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <future>

namespace {

using namespace std::chrono_literals;
using Reply = LoopbackHttpServer::Reply;

const NowPlayingTrack lanterns{QStringLiteral("Lanterns"), QStringLiteral("Mara Lind & Jonas Vey"), 214.6};
const NowPlayingTrack unknown{QStringLiteral("Nowhere"), QStringLiteral("Nobody"), 100};
const QString lyricPath = QStringLiteral("/api/song/lyric/v1");

Reply dataReply(const char* name)
{
    QFile file(QStringLiteral(ZUVIK_LYRICS_TEST_DATA "/") + QString::fromUtf8(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return Reply::json(file.readAll());
}

struct Answer {
    int count = 0;
    bool found = false;
    QString text;
};

class Rejecting : public ::testing::Test {
protected:
    Rejecting()
    {
        // 5004, 5008, 5002, 5009, 5001 are probed in this order; 5002 gives word-level lyrics,
        // 5008 line-level ones.
        server.setReply(QStringLiteral("/api/search/get"), dataReply("search_lanterns.json"));
        server.setReply(lyricPath, dataReply("lyric_none.json"));
        server.setReply(lyricPath, QStringLiteral("5008"), dataReply("lyric_line_level.json"));
        server.setReply(lyricPath, QStringLiteral("5002"), dataReply("lyric_word_level.json"));
        QObject::connect(&rejection, &LyricsRejection::stateChanged, [this](RejectionState s) { states.append(s); });
    }

    void play(const NowPlayingTrack& track)
    {
        engine.nowPlaying().ingest(
            PlayerSample{QStringLiteral("music"), track.title, track.artist, track.duration, 1.0, true,
                         QDateTime::currentDateTimeUtc()});
    }

    void playAndWaitForLyrics(const NowPlayingTrack& track)
    {
        play(track);
        ASSERT_TRUE(waitFor([&] { return engine.lyrics().has_value(); }));
    }

    // Rejects and waits for the one answer.
    Answer reject()
    {
        Answer answer;
        rejection.reject([&answer](bool found, const QString& text) {
            ++answer.count;
            answer.found = found;
            answer.text = text;
        });
        EXPECT_TRUE(waitFor([&] { return answer.count > 0; }));
        waitFor([] { return false; }, 50ms);  // and no second one
        EXPECT_EQ(answer.count, 1);
        return answer;
    }

    LoopbackHttpServer server;
    QTemporaryDir folder;
    LyricsProvider provider{LyricsProvider::Options{server.baseUrl(), folder.filePath(QStringLiteral("cache")), 10s,
                                                    folder.filePath(QStringLiteral("rejected.json"))}};
    LyricEngine engine{[](NowPlayingMonitor::Completion) {},
                       [this](const NowPlayingTrack& track) { return provider.lookup(track); }};
    LyricsRejection rejection{engine, [this](const NowPlayingTrack& track, const LyricsOrigin& origin,
                                             const TimedLyrics& wrong) { return provider.retry(track, origin, wrong); }};
    QList<RejectionState> states;
};

TEST_F(Rejecting, SendsMatchesAwayOneByOneUntilNoneIsLeft)
{
    playAndWaitForLyrics(lanterns);
    EXPECT_EQ(rejection.state(), RejectionState::available);

    const Answer first = reject();
    EXPECT_TRUE(first.found);
    EXPECT_EQ(first.text, QStringLiteral("now showing ncm 5008 \"Lanterns - Acoustic Version\" by Mara Lind for "
                                         "Mara Lind & Jonas Vey — Lanterns"));
    ASSERT_TRUE(engine.lyrics());
    EXPECT_EQ(engine.lyrics()->tier(), LyricTier::interpolated);

    const Answer second = reject();
    EXPECT_FALSE(second.found);
    EXPECT_EQ(second.text, QStringLiteral("no other match for Mara Lind & Jonas Vey — Lanterns"));
    EXPECT_FALSE(engine.lyrics());
    EXPECT_EQ(rejection.state(), RejectionState::noOtherMatch);

    const Answer third = reject();
    EXPECT_FALSE(third.found);
    EXPECT_EQ(third.text, QStringLiteral("no other match for Mara Lind & Jonas Vey — Lanterns"));
    // Available, gone while each retry ran, back, gone for good.
    EXPECT_EQ(states, (QList<RejectionState>{RejectionState::available, RejectionState::unavailable,
                                             RejectionState::available, RejectionState::unavailable,
                                             RejectionState::noOtherMatch}));
}

TEST_F(Rejecting, RefusesWhenThereIsNothingToSendAway)
{
    EXPECT_EQ(reject().text, QStringLiteral("nothing is playing"));
    play(unknown);
    ASSERT_TRUE(waitFor([&] { return server.requestsFor(QStringLiteral("/api/search/get")).size() == 1; }));
    waitFor([] { return false; }, 100ms);
    const Answer answer = reject();
    EXPECT_FALSE(answer.found);
    EXPECT_EQ(answer.text, QStringLiteral("no lyrics are showing for Nobody — Nowhere"));
    EXPECT_EQ(rejection.state(), RejectionState::unavailable);
}

TEST_F(Rejecting, ATrackChangeDuringTheRetryEndsItWithOneAnswer)
{
    playAndWaitForLyrics(lanterns);
    server.setReply(lyricPath, QStringLiteral("5004"), Reply::stalling());
    Answer answer;
    rejection.reject([&answer](bool found, const QString& text) {
        ++answer.count;
        answer.found = found;
        answer.text = text;
    });
    ASSERT_TRUE(waitFor([&] { return server.openConnections() > 0; }));
    play(unknown);
    ASSERT_TRUE(waitFor([&] { return answer.count > 0; }));
    waitFor([] { return false; }, 100ms);
    EXPECT_EQ(answer.count, 1);
    EXPECT_EQ(answer.text,
              QStringLiteral("the track changed before another match for Mara Lind & Jonas Vey — Lanterns was found"));
}

TEST_F(Rejecting, OverTheSessionBusTheCallerReadsTheOutcome)
{
    const PrivateBus bus;
    ASSERT_TRUE(bus.isRunning());
    const QDBusConnection serving = bus.connect(QStringLiteral("serving"));
    const QDBusConnection calling = bus.connect(QStringLiteral("calling"));
    const LyricsRequestService service(
        [this](const LyricsRequestService::Answer& answer) { rejection.reject(answer); }, serving);
    ASSERT_TRUE(service.isServing());
    // The caller blocks, as the command does: on its own thread, while this one serves.
    const auto call = [&] {
        auto pending = std::async(std::launch::async, [&] { return requestRejection(serving.baseService(), calling); });
        EXPECT_TRUE(waitFor([&] { return pending.wait_for(0s) == std::future_status::ready; }));
        return pending.get();
    };

    const RunningCopyReply idle = call();
    EXPECT_EQ(idle.outcome, RunningCopyOutcome::refused);
    EXPECT_EQ(idle.text, QStringLiteral("nothing is playing"));

    playAndWaitForLyrics(lanterns);
    const RunningCopyReply retried = call();
    EXPECT_EQ(retried.outcome, RunningCopyOutcome::answered);
    EXPECT_TRUE(retried.text.startsWith(QStringLiteral("now showing ncm 5008 "))) << retried.text.toStdString();
}

}  // namespace
