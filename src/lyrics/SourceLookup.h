#pragma once

#include "lyrics/Candidate.h"
#include "lyrics/TimedLyrics.h"
#include "playback/NowPlayingTrack.h"

#include <QJsonDocument>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <functional>
#include <optional>

class JsonRequest;
class RejectedCandidates;
class ServiceSession;

// Lyrics a source chose for a track, and the candidate whose text they are.
struct SourceAnswer {
    TimedLyrics lyrics;
    Candidate candidate;
};

// What the sources asked in one lookup share: the track, the user's rejections, and the lyrics a
// retry replaces (so that the source whose text they are learns it and rejects that candidate).
class LookupContext {
public:
    LookupContext(NowPlayingTrack track, RejectedCandidates& rejected, std::optional<TimedLyrics> wrong);

    const NowPlayingTrack& track() const { return m_track; }
    bool isLookingForTheWrongOne() const { return m_wrong.has_value(); }
    // Whether the user sent the candidate away for this track; a rejected one counts as in play.
    bool isRejected(const Candidate& candidate);
    // Marks the candidate rejected when its lyrics are the ones a retry replaces.
    bool isTheWrongOne(const TimedLyrics& lyrics, const Candidate& candidate);
    // A match was left out or sent away during this lookup: finding nothing then means "no other match".
    bool rejectionsInPlay() const { return m_rejectionsInPlay; }

private:
    const NowPlayingTrack m_track;
    RejectedCandidates& m_rejected;
    std::optional<TimedLyrics> m_wrong;
    bool m_rejectionsInPlay = false;
};

// One source's part of a lookup: asks the source for the track and answers once with lyrics or
// nothing, logging its own outcome. Runs on the thread that made it, never blocking it; start()
// is called once the receiver has connected to finished.
//
// cancel() aborts the request in flight at once; the source then runs to its end without the
// network (each request it would still make fails at once and is logged).
class SourceLookup : public QObject {
    Q_OBJECT
public:
    SourceLookup(LookupContext& context, QObject* parent);

    virtual void start() = 0;
    void cancel();
    bool isCancelled() const { return m_cancelled; }

    // What the source returned, in reply order, and the matches among them in the order they
    // would be taken (rejected ones included); empty until the source has answered them.
    const QList<Candidate>& searchResults() const { return m_searchResults; }
    const QList<Candidate>& matches() const { return m_matches; }

Q_SIGNALS:
    // Emitted once.
    void finished(const std::optional<SourceAnswer>& answer);

protected:
    struct Response {
        std::optional<QJsonDocument> document;  // nothing on any failure, already logged
        bool notFound = false;  // the failure was a 404 (logged only when not quiet)
    };
    using Next = std::function<void(const Response&)>;
    using Parsed = std::function<void(QList<TimedWord>)>;

    // One request through the session, answered through next on this thread.
    void get(ServiceSession& session, const QUrl& url, Next next, bool quietNotFound = false);
    // A long text takes a while to read: the parse runs on the lyric parsing thread, never on the
    // thread whose event loop draws the overlay, and next gets the words back on this one.
    void parseInBackground(std::function<QList<TimedWord>()> parse, Parsed next);
    void answer(std::optional<SourceAnswer> answer);

    LookupContext& m_context;
    QList<Candidate> m_searchResults;
    QList<Candidate> m_matches;

private:
    QPointer<JsonRequest> m_request;
    bool m_cancelled = false;
};
