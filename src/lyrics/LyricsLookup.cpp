#include "lyrics/LyricsLookup.h"

#include "lyrics/LyricsCache.h"
#include "lyrics/LyricsLog.h"

LyricsLookup::LyricsLookup(SourceFactory makeSource, QList<LyricSource> sources, const LyricsCache& cache,
                           RejectedCandidates& rejected, NowPlayingTrack track, Mode mode, QObject* parent)
    : PendingLyrics(parent)
    , m_makeSource(std::move(makeSource))
    , m_sources(std::move(sources))
    , m_cache(cache)
    , m_context(std::move(track), rejected, mode.wrong)
    , m_mode(std::move(mode))
{
    QMetaObject::invokeMethod(this, &LyricsLookup::start, Qt::QueuedConnection);
}

void LyricsLookup::cancel()
{
    if (m_cancelled || m_done)
        return;
    m_cancelled = true;
    if (m_source)
        m_source->cancel();
}

QList<Candidate> LyricsLookup::searchResults() const
{
    QList<Candidate> all;
    for (const SourceResults& results : m_results)
        all.append(results.found);
    return all;
}

QList<Candidate> LyricsLookup::matches() const
{
    QList<Candidate> all;
    for (const SourceResults& results : m_results)
        all.append(results.matches);
    return all;
}

void LyricsLookup::start()
{
    if (m_mode.retry)
        m_cache.remove(track());
    if (!m_mode.fresh && !m_mode.retry) {
        if (std::optional<LyricsCache::Entry> cached = m_cache.readEntry(track())) {
            lyrics_log::cacheHit(cached->lyrics);
            m_origin.kind = LyricsOrigin::Kind::cache;
            if (cached->from) {
                m_origin.candidate = *cached->from;
                m_origin.candidateKnown = true;
            }
            finish(std::move(cached->lyrics));
            return;
        }
    }
    askNext();
}

void LyricsLookup::askNext()
{
    if (m_asked == m_sources.size() || m_cancelled || (m_answer && !m_mode.survey)) {
        if (!m_answer) {
            finish(std::nullopt);
            return;
        }
        m_cache.write(m_answer->lyrics, track(), m_answer->candidate);
        m_origin = {LyricsOrigin::Kind::service, m_answer->candidate, true};
        finish(m_answer->lyrics);
        return;
    }
    SourceLookup* source = m_makeSource(m_sources[m_asked++], m_context, this);
    m_source = source;
    connect(source, &SourceLookup::finished, this, &LyricsLookup::onSourceFinished);
    source->start();
}

void LyricsLookup::onSourceFinished(const std::optional<SourceAnswer>& answer)
{
    m_results.append({m_sources[m_asked - 1], m_source->searchResults(), m_source->matches()});
    m_source->deleteLater();
    m_source = nullptr;
    if (!m_answer)
        m_answer = answer;
    askNext();
}

void LyricsLookup::finish(std::optional<TimedLyrics> lyrics)
{
    if (!lyrics && m_context.rejectionsInPlay()) {
        lyrics_log::noOtherMatch(track());
        m_origin.noOtherMatch = true;
    }
    m_done = true;
    if (!m_cancelled)
        Q_EMIT finished(lyrics);
    deleteLater();
}
