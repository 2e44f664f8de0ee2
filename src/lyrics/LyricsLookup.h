#pragma once

#include "lyrics/Candidate.h"
#include "lyrics/PendingLyrics.h"
#include "playback/NowPlayingTrack.h"
#include "lyrics/TimedLyrics.h"

#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class JsonRequest;
class LyricsCache;
class ServiceSession;

// One lookup of a track's timed lyrics: the cache first, then a search, then the lyric texts of
// up to maxProbes matching candidates one after the other. Runs on the thread that made it,
// waiting for the network without blocking it, and deletes itself when it is done.
//
// cancel() aborts the request in flight at once. The lookup then runs to its end without touching
// the network (each request it would still make fails at once and is logged), so its log reads
// like any other lookup's; finished is not emitted after a cancel.
class LyricsLookup : public PendingLyrics {
    Q_OBJECT
public:
    struct Limits {
        std::int64_t durationToleranceMs;
        qsizetype maxProbes;
    };

    // Made by LyricsProvider::lookup; starts from the event loop, so connect to finished first.
    LyricsLookup(ServiceSession& session, const LyricsCache& cache, Limits limits, NowPlayingTrack track,
                 QObject* parent);

    const NowPlayingTrack& track() const { return m_track; }
    void cancel() override;

private:
    using Step = void (LyricsLookup::*)(const std::optional<QJsonObject>& reply);

    void start();
    void onSearchReply(const std::optional<QJsonObject>& reply);
    void probeNext();
    void onLyricReply(const std::optional<QJsonObject>& reply);
    void finishWithFallback();
    void finish(std::optional<TimedLyrics> lyrics);
    void get(const QUrl& url, Step next);

    ServiceSession& m_session;
    const LyricsCache& m_cache;
    const Limits m_limits;
    const NowPlayingTrack m_track;
    QString m_query;
    QList<Candidate> m_probes;
    qsizetype m_probed = 0;  // candidates of m_probes asked so far
    std::optional<QString> m_fallbackLineLevel;
    QPointer<JsonRequest> m_request;
    bool m_cancelled = false;
    bool m_done = false;
};
