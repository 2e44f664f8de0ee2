#include "lyrics/LyricsLookup.h"

#include "lyrics/CandidateChoice.h"
#include "lyrics/JsonRequest.h"
#include "lyrics/LineLevelParser.h"
#include "lyrics/LyricFilters.h"
#include "lyrics/LyricsCache.h"
#include "lyrics/LyricsLog.h"
#include "lyrics/ServiceAddress.h"
#include "lyrics/ServiceReplies.h"
#include "lyrics/ServiceSession.h"
#include "lyrics/WordLevelParser.h"

#include <algorithm>

LyricsLookup::LyricsLookup(ServiceSession& session, const LyricsCache& cache, Limits limits, NowPlayingTrack track,
                           QObject* parent)
    : PendingLyrics(parent)
    , m_session(session)
    , m_cache(cache)
    , m_limits(limits)
    , m_track(std::move(track))
{
    QMetaObject::invokeMethod(this, &LyricsLookup::start, Qt::QueuedConnection);
}

void LyricsLookup::cancel()
{
    if (m_cancelled || m_done)
        return;
    m_cancelled = true;
    if (m_request)
        m_request->cancel();
}

void LyricsLookup::start()
{
    if (std::optional<TimedLyrics> cached = m_cache.read(m_track)) {
        lyrics_log::cacheHit(*cached);
        finish(std::move(cached));
        return;
    }
    m_query = searchQuery(m_track);
    get(service_address::searchUrl(m_session.baseUrl(), m_query), &LyricsLookup::onSearchReply);
}

void LyricsLookup::onSearchReply(const std::optional<QJsonObject>& reply)
{
    const std::optional<QList<Candidate>> candidates = reply ? candidatesFromSearchReply(*reply) : std::nullopt;
    if (candidates) {
        m_probes = chooseCandidates(*candidates, m_track, m_limits.durationToleranceMs);
        if (m_probes.isEmpty())
            lyrics_log::noneMatched(candidates->size(), m_query, m_track);
    }
    if (m_probes.isEmpty()) {
        lyrics_log::noCandidate(m_track);
        finish(std::nullopt);
        return;
    }
    m_probes.resize(std::min(m_probes.size(), m_limits.maxProbes));
    probeNext();
}

void LyricsLookup::probeNext()
{
    if (m_probed == m_probes.size()) {
        finishWithFallback();
        return;
    }
    const std::int64_t id = m_probes[m_probed].id;
    ++m_probed;
    get(service_address::lyricUrl(m_session.baseUrl(), id), &LyricsLookup::onLyricReply);
}

// Word-level text wins wherever it is found; the first line-level text is kept in case none is.
void LyricsLookup::onLyricReply(const std::optional<QJsonObject>& reply)
{
    const Candidate& candidate = m_probes[m_probed - 1];
    const LyricTexts texts = reply ? lyricTextsFromReply(*reply) : LyricTexts{};
    if (texts.wordLevel) {
        QList<TimedWord> words = dropTranslationLines(parseWordLevel(*texts.wordLevel), m_track.title, m_track.artist);
        if (!words.isEmpty()) {
            TimedLyrics lyrics(LyricTier::wordLevel, std::move(words));
            lyrics_log::wordLevel(candidate, lyrics.words().size());
            m_cache.write(lyrics, m_track);
            finish(std::move(lyrics));
            return;
        }
    }
    if (!m_fallbackLineLevel)
        m_fallbackLineLevel = texts.lineLevel;
    probeNext();
}

void LyricsLookup::finishWithFallback()
{
    if (m_fallbackLineLevel) {
        QList<TimedWord> words = dropTranslationLines(parseLineLevel(*m_fallbackLineLevel), m_track.title, m_track.artist);
        if (!words.isEmpty()) {
            TimedLyrics lyrics(LyricTier::interpolated, std::move(words));
            lyrics_log::interpolated(lyrics.words().size());
            m_cache.write(lyrics, m_track);
            finish(std::move(lyrics));
            return;
        }
    }
    lyrics_log::nothingUsable(m_track);
    finish(std::nullopt);
}

void LyricsLookup::finish(std::optional<TimedLyrics> lyrics)
{
    m_done = true;
    if (!m_cancelled)
        Q_EMIT finished(lyrics);
    deleteLater();
}

// Requests of a cancelled lookup fail at once, as the one in flight did.
void LyricsLookup::get(const QUrl& url, Step next)
{
    if (m_cancelled) {
        lyrics_log::requestFailed(QStringLiteral("cancelled"));
        (this->*next)(std::nullopt);
        return;
    }
    m_request = m_session.getJSON(url, this);
    connect(m_request, &JsonRequest::finished, this, [this, next](const std::optional<QJsonObject>& reply) {
        m_request = nullptr;
        (this->*next)(reply);
    });
}
