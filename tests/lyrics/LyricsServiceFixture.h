#pragma once

// A lyrics provider against a real HTTP server on 127.0.0.1 serving the fixture replies of
// tests/lyrics/data, with the log lines each test caused.
#include "lyrics/LyricsProvider.h"

#include "lyrics/CacheFileName.h"

#include "EventLoopWait.h"
#include "LogLines.h"
#include "LoopbackHttpServer.h"
#include "LyricsTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <chrono>
#include <memory>

namespace service_test {

using namespace std::chrono_literals;
using Reply = LoopbackHttpServer::Reply;
using QueryItems = QList<QPair<QString, QString>>;

inline const QString searchPath = QStringLiteral("/api/search/get");
inline const QString lyricPath = QStringLiteral("/api/song/lyric/v1");
inline const NowPlayingTrack lanterns{QStringLiteral("Lanterns"), QStringLiteral("Mara Lind & Jonas Vey"), 214.6};
inline const QString noCandidate = QStringLiteral("lyrics: no candidate for Mara Lind & Jonas Vey — Lanterns");
inline const QString nothingUsable = QStringLiteral("lyrics: nothing usable for Mara Lind & Jonas Vey — Lanterns");
inline const QString cancelled = QStringLiteral("lyrics: request failed — cancelled");
inline const QString noneOfZero = QStringLiteral(
    "lyrics: 0 results for \"Mara Lind lanterns\", none matched identity+duration for Mara Lind & Jonas Vey — Lanterns");

inline Reply dataReply(const char* name)
{
    return Reply::json(testData(name).toUtf8());
}

inline Reply lineLevelOnly(const char* lrc)
{
    return Reply::json(QJsonDocument(QJsonObject{{"lrc", QJsonObject{{"lyric", lrc}}}}).toJson());
}

inline QByteArray searchReplyOf(const QJsonArray& songs)
{
    return QJsonDocument(QJsonObject{{"result", QJsonObject{{"songs", songs}}}}).toJson();
}

// Log messages against expectations; an expectation ending in "*" is a prefix.
inline void expectMessages(const QStringList& actual, const QStringList& expected)
{
    ASSERT_EQ(actual.size(), expected.size()) << actual.join(u'\n').toStdString();
    for (qsizetype i = 0; i < expected.size(); ++i) {
        if (expected[i].endsWith(u'*'))
            EXPECT_TRUE(actual[i].startsWith(expected[i].chopped(1))) << actual[i].toStdString();
        else
            EXPECT_EQ(actual[i], expected[i]);
    }
}

struct Outcome {
    bool answered = false;
    std::optional<TimedLyrics> lyrics;
    LyricsOrigin origin;
    QList<Candidate> matches;
};

class LyricsService : public ::testing::Test {
protected:
    void SetUp() override
    {
        server.setReply(searchPath, dataReply("search_lanterns.json"));
        server.setReply(lyricPath, dataReply("lyric_none.json"));
    }

    std::unique_ptr<LyricsProvider> makeProvider(std::chrono::milliseconds timeout = 10s,
                                                 std::chrono::milliseconds deadline = 20s) const
    {
        return std::make_unique<LyricsProvider>(
            LyricsProvider::Options{server.baseUrl(), cacheRoot.path(), timeout, rejectionsFile(), deadline});
    }

    LyricsProvider& provider()
    {
        if (!m_provider)
            m_provider = makeProvider();
        return *m_provider;
    }

    static Outcome lookUpWith(LyricsProvider& provider, const NowPlayingTrack& track)
    {
        return outcomeOf(provider.lookup(track));
    }

    static Outcome outcomeOf(LyricsLookup* lookup)
    {
        Outcome outcome;
        QObject::connect(lookup, &LyricsLookup::finished, lookup, [&outcome, lookup](const std::optional<TimedLyrics>& lyrics) {
            outcome.answered = true;
            outcome.lyrics = lyrics;
            outcome.origin = lookup->origin();
            outcome.matches = lookup->matches();
        });
        EXPECT_TRUE(waitFor([&] { return outcome.answered; }));
        return outcome;
    }

    Outcome lookUp(const NowPlayingTrack& track = lanterns) { return lookUpWith(provider(), track); }

    QStringList lyricIdsRequested() const
    {
        QStringList ids;
        for (const auto& request : server.requestsFor(lyricPath))
            ids.append(request.queryValue(QStringLiteral("id")));
        return ids;
    }

    QString rejectionsFile() const { return cacheRoot.path() + QStringLiteral("/data/Zuvik/rejected.json"); }

    QString cacheFile(const NowPlayingTrack& track) const
    {
        return cacheRoot.path() + QStringLiteral("/Orvane/Lyrics/v5/") + cacheFileName(cacheKey(track));
    }

    LoopbackHttpServer server;
    QTemporaryDir cacheRoot;
    LogLines log;

private:
    std::unique_ptr<LyricsProvider> m_provider;
};

}  // namespace service_test
