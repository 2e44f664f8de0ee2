#pragma once

#include "lyrics/Candidate.h"
#include "lyrics/LyricSource.h"
#include "lyrics/PendingLyrics.h"
#include "lyrics/SourceLookup.h"
#include "playback/NowPlayingTrack.h"
#include "lyrics/TimedLyrics.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

class LyricsCache;
class RejectedCandidates;

// One lookup of a track's timed lyrics: the cache first, then each source in the order given, the
// first source that gives usable lyrics winning; those are cached. Runs on the thread that made
// it, waiting for the network without blocking it, and deletes itself when it is done.
//
// cancel() aborts the request in flight at once. The source being asked then runs to its end
// without touching the network (each request it would still make fails at once and is logged),
// so its log reads like any other lookup's; no further source is asked, and finished is not
// emitted after a cancel.
class LyricsLookup : public PendingLyrics {
    Q_OBJECT
public:
    // Makes a source's part of the lookup, a child of parent.
    using SourceFactory = std::function<SourceLookup*(LyricSource, LookupContext&, QObject* parent)>;

    // How the cache is used. A fresh lookup asks the sources even when the cache has the track; a
    // retry also drops the cached document first, and rejects the first candidate whose text
    // gives `wrong` again (lyrics the user called wrong, from a candidate not known by now). A
    // survey asks every source, also after one has given lyrics, so that all their results are known.
    struct Mode {
        bool fresh = false;
        bool retry = false;
        std::optional<TimedLyrics> wrong;
        bool survey = false;
    };

    // Made by LyricsProvider; starts from the event loop, so connect to finished first.
    LyricsLookup(SourceFactory makeSource, QList<LyricSource> sources, const LyricsCache& cache,
                 RejectedCandidates& rejected, NowPlayingTrack track, Mode mode, QObject* parent);

    const NowPlayingTrack& track() const { return m_context.track(); }
    void cancel() override;

    // One entry per source asked, in the order asked: what it returned, in reply order, and the
    // matches among them in the order they would be taken (rejected ones included).
    struct SourceResults {
        LyricSource source;
        QList<Candidate> found;
        QList<Candidate> matches;
    };
    const QList<SourceResults>& results() const { return m_results; }
    // Every source's results and matches one after the other.
    QList<Candidate> searchResults() const;
    QList<Candidate> matches() const;

private:
    void start();
    void askNext();
    void onSourceFinished(const std::optional<SourceAnswer>& answer);
    void finish(std::optional<TimedLyrics> lyrics);

    SourceFactory m_makeSource;
    const QList<LyricSource> m_sources;
    const LyricsCache& m_cache;
    LookupContext m_context;
    Mode m_mode;
    qsizetype m_asked = 0;  // sources of m_sources asked so far
    QPointer<SourceLookup> m_source;  // the one being asked
    std::optional<SourceAnswer> m_answer;  // the first source's answer, in a survey
    QList<SourceResults> m_results;
    bool m_cancelled = false;
    bool m_done = false;
};
