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

#include <functional>
#include <optional>

class JsonRequest;
class LyricsCache;
class RejectedCandidates;
class ServiceSession;

// One lookup of a track's timed lyrics: the cache first, then a search, then the lyric texts of
// up to maxProbes matching candidates one after the other. Runs on the thread that made it,
// waiting for the network without blocking it, and deletes itself when it is done.
//
// Candidates the user rejected for the track are left out, before the probes are counted.
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

    // How the cache is used. A fresh lookup asks the service even when the cache has the track; a
    // retry also drops the cached document first, and rejects the first candidate whose text
    // gives `wrong` again (lyrics the user called wrong, from a candidate not known by now).
    struct Mode {
        bool fresh = false;
        bool retry = false;
        std::optional<TimedLyrics> wrong;
    };

    // Made by LyricsProvider; starts from the event loop, so connect to finished first.
    LyricsLookup(ServiceSession& session, const LyricsCache& cache, RejectedCandidates& rejected, Limits limits,
                 NowPlayingTrack track, Mode mode, QObject* parent);

    const NowPlayingTrack& track() const { return m_track; }
    void cancel() override;

    // What the search returned, in reply order, and the matches among them in probing order
    // (rejected ones included); empty until the search has been answered.
    const QList<Candidate>& searchResults() const { return m_searchResults; }
    const QList<Candidate>& matches() const { return m_matches; }

private:
    using Step = void (LyricsLookup::*)(const std::optional<QJsonObject>& reply);
    using Parsed = void (LyricsLookup::*)(QList<TimedWord> words);

    void start();
    void onSearchReply(const std::optional<QJsonObject>& reply);
    void probeNext();
    void onLyricReply(const std::optional<QJsonObject>& reply);
    void onWordLevelWords(QList<TimedWord> words);
    void keepLineLevelTextAndProbeNext();
    void finishWithFallback();
    void onLineLevelWords(QList<TimedWord> words);
    void parseInBackground(std::function<QList<TimedWord>()> parse, Parsed next);
    bool isTheWrongOne(const TimedLyrics& lyrics, const Candidate& candidate);
    void finishFromService(TimedLyrics lyrics, const Candidate& candidate);
    void finish(std::optional<TimedLyrics> lyrics);
    void get(const QUrl& url, Step next);

    ServiceSession& m_session;
    const LyricsCache& m_cache;
    RejectedCandidates& m_rejected;
    const Limits m_limits;
    const NowPlayingTrack m_track;
    Mode m_mode;
    QString m_query;
    QList<Candidate> m_searchResults;
    QList<Candidate> m_matches;
    QList<Candidate> m_probes;
    qsizetype m_probed = 0;  // candidates of m_probes asked so far
    bool m_rejectionsInPlay = false;  // a match was left out, or sent away during this lookup
    // Every line-level text met, with its candidate: the first is the fallback, unless it is the wrong one.
    QList<QPair<Candidate, QString>> m_lineLevelTexts;
    qsizetype m_fallbacksTried = 0;
    std::optional<QString> m_probeLineLevel;  // the line-level text of the probe being read
    QPointer<JsonRequest> m_request;
    bool m_cancelled = false;
    bool m_done = false;
};
