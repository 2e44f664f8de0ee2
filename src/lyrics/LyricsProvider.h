#pragma once

#include "lyrics/LyricsCache.h"
#include "lyrics/LyricsLookup.h"
#include "lyrics/RejectedCandidates.h"
#include "playback/NowPlayingTrack.h"
#include "lyrics/ServiceSession.h"

#include <QObject>
#include <QString>
#include <QUrl>

#include <chrono>
#include <cstdint>

// Answers what the timed lyrics of a track are: from the lyrics cache, or from the lyric sources in
// their order (the lyrics web service, LRCLIB), the first one's usable answer being cached. Every
// outcome is one log line; nothing is retried and no failure is remembered, so the next lookup of
// a track asks the sources again.
class LyricsProvider : public QObject {
    Q_OBJECT
public:
    struct Options {
        QUrl baseUrl;
        QString cacheFolder;  // the user's cache folder, under which the lyrics folder is prepared
        std::chrono::milliseconds transferTimeout = std::chrono::seconds(15);
        QString rejectionsFile;  // where the user's rejections are kept; none: for this run only
        std::chrono::milliseconds requestDeadline = std::chrono::seconds(20);
        QUrl lrclibBaseUrl = {};
        QList<LyricSource> sources = {LyricSource::ncm};  // the order they are asked in

        // The service from ZUVIK_LYRICS_BASE_URL and LRCLIB from ZUVIK_LRCLIB_BASE_URL (else the
        // defaults), every source in the default order, the folder from XDG_CACHE_HOME, the
        // rejections in the user's data folder.
        static Options fromEnvironment();
    };

    // The largest accepted difference between a candidate's duration and the track's.
    static constexpr std::int64_t durationToleranceMs = 3000;
    // The most candidates whose lyric texts one lookup fetches.
    static constexpr qsizetype maxCandidateProbes = 4;

    // Prepares the cache folder.
    explicit LyricsProvider(const Options& options, QObject* parent = nullptr);
    // Deletes the lookups still running, silently, before the session their requests belong to.
    ~LyricsProvider() override;

    // Starts a lookup on the calling thread and returns at once. The lookup is a child of the
    // provider and deletes itself once done: hold it in a QPointer, connect to its finished
    // signal, and cancel it when its answer is no longer wanted (on a track change, say).
    LyricsLookup* lookup(const NowPlayingTrack& track);
    // A lookup that asks every source, even when the cache has the track or an earlier source
    // has answered, so that its results list all they found.
    LyricsLookup* survey(const NowPlayingTrack& track);
    // The user called the track's lyrics wrong: rejects the candidate that gave them (found by
    // their words when `origin` does not name it), drops the cached document and looks again.
    LyricsLookup* retry(const NowPlayingTrack& track, const LyricsOrigin& origin, const TimedLyrics& wrong);

    // The order of sources later lookups ask; one already running keeps its own. Never empty:
    // an empty list leaves the order as it was.
    void setSources(const QList<LyricSource>& sources);
    const QList<LyricSource>& sources() const { return m_sources; }

    const RejectedCandidates& rejections() const { return m_rejected; }

    const QString& cacheDirectory() const { return m_cache.directory(); }

private:
    LyricsLookup* start(const NowPlayingTrack& track, LyricsLookup::Mode mode);
    SourceLookup* makeSource(LyricSource source, LookupContext& context, QObject* parent);

    ServiceSession m_session;
    ServiceSession m_lrclibSession;
    QList<LyricSource> m_sources;
    LyricsCache m_cache;
    RejectedCandidates m_rejected;
};
