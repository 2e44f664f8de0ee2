#include "lyrics/LyricsLookup.h"

#include "lyrics/CandidateChoice.h"
#include "lyrics/JsonRequest.h"
#include "lyrics/LineLevelParser.h"
#include "lyrics/LyricFilters.h"
#include "lyrics/LyricsCache.h"
#include "lyrics/LyricsLog.h"
#include "lyrics/RejectedCandidates.h"
#include "lyrics/ServiceAddress.h"
#include "lyrics/ServiceReplies.h"
#include "lyrics/ServiceSession.h"
#include "lyrics/WordLevelParser.h"

#include <QFutureWatcher>
#include <QPromise>
#include <QThreadPool>

#include <algorithm>
#include <memory>

namespace {

// One thread for every lookup's parsing, made on first use and kept for the process.
QThreadPool& lyricParsingThread()
{
    static QThreadPool* const pool = [] {
        auto* threads = new QThreadPool;
        threads->setObjectName(QStringLiteral("lyric parsing"));
        threads->setMaxThreadCount(1);
        return threads;
    }();
    return *pool;
}

// Lyrics that read the same: the cached copy of a text may differ from a fresh parse in the last
// digit of a time, never in its words.
bool sameWords(const TimedLyrics& a, const TimedLyrics& b)
{
    return a.tier() == b.tier()
           && std::equal(a.words().cbegin(), a.words().cend(), b.words().cbegin(), b.words().cend(),
                         [](const TimedWord& x, const TimedWord& y) { return x.text == y.text; });
}

}  // namespace

LyricsLookup::LyricsLookup(ServiceSession& session, const LyricsCache& cache, RejectedCandidates& rejected,
                           Limits limits, NowPlayingTrack track, Mode mode, QObject* parent)
    : PendingLyrics(parent)
    , m_session(session)
    , m_cache(cache)
    , m_rejected(rejected)
    , m_limits(limits)
    , m_track(std::move(track))
    , m_mode(std::move(mode))
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
    if (m_mode.retry)
        m_cache.remove(m_track);
    if (!m_mode.fresh && !m_mode.retry) {
        if (std::optional<TimedLyrics> cached = m_cache.read(m_track)) {
            lyrics_log::cacheHit(*cached);
            m_origin.kind = LyricsOrigin::Kind::cache;
            finish(std::move(cached));
            return;
        }
    }
    m_query = searchQuery(m_track);
    get(service_address::searchUrl(m_session.baseUrl(), m_query), &LyricsLookup::onSearchReply);
}

void LyricsLookup::onSearchReply(const std::optional<QJsonObject>& reply)
{
    const std::optional<QList<Candidate>> candidates = reply ? candidatesFromSearchReply(*reply) : std::nullopt;
    if (candidates) {
        m_searchResults = *candidates;
        m_matches = chooseCandidates(*candidates, m_track, m_limits.durationToleranceMs);
        if (m_matches.isEmpty())
            lyrics_log::noneMatched(candidates->size(), m_query, m_track);
        const QSet<std::int64_t> rejected = m_rejected.rejectedFor(m_track);
        for (const Candidate& candidate : std::as_const(m_matches)) {
            if (!rejected.contains(candidate.id))
                m_probes.append(candidate);
        }
        m_rejectionsInPlay = m_probes.size() != m_matches.size();
    }
    if (m_probes.isEmpty()) {
        if (!m_rejectionsInPlay)
            lyrics_log::noCandidate(m_track);
        finish(std::nullopt);
        return;
    }
    // The wrong text is fetched once more only to learn whose it is; that takes no probe from the rest.
    const qsizetype probes = m_limits.maxProbes + (m_mode.wrong ? 1 : 0);
    m_probes.resize(std::min(m_probes.size(), probes));
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
    const LyricTexts texts = reply ? lyricTextsFromReply(*reply) : LyricTexts{};
    m_probeLineLevel = texts.lineLevel;
    if (!texts.wordLevel) {
        keepLineLevelTextAndProbeNext();
        return;
    }
    parseInBackground(
        [text = *texts.wordLevel, track = m_track] {
            return dropTranslationLines(parseWordLevel(text), track.title, track.artist);
        },
        &LyricsLookup::onWordLevelWords);
}

void LyricsLookup::onWordLevelWords(QList<TimedWord> words)
{
    if (words.isEmpty()) {
        keepLineLevelTextAndProbeNext();
        return;
    }
    const Candidate candidate = m_probes[m_probed - 1];
    TimedLyrics lyrics(LyricTier::wordLevel, std::move(words));
    if (isTheWrongOne(lyrics, candidate)) {
        probeNext();
        return;
    }
    lyrics_log::wordLevel(candidate, lyrics.words().size());
    finishFromService(std::move(lyrics), candidate);
}

void LyricsLookup::keepLineLevelTextAndProbeNext()
{
    if (m_probeLineLevel)
        m_lineLevelTexts.append({m_probes[m_probed - 1], *m_probeLineLevel});
    m_probeLineLevel.reset();
    probeNext();
}

// Only the first line-level text counts, unless it is the one the user sent away.
void LyricsLookup::finishWithFallback()
{
    if (m_fallbacksTried == m_lineLevelTexts.size()) {
        lyrics_log::nothingUsable(m_track);
        finish(std::nullopt);
        return;
    }
    parseInBackground(
        [text = m_lineLevelTexts[m_fallbacksTried].second, track = m_track] {
            return dropTranslationLines(parseLineLevel(text), track.title, track.artist);
        },
        &LyricsLookup::onLineLevelWords);
}

void LyricsLookup::onLineLevelWords(QList<TimedWord> words)
{
    const Candidate candidate = m_lineLevelTexts[m_fallbacksTried++].first;
    if (words.isEmpty()) {
        lyrics_log::nothingUsable(m_track);
        finish(std::nullopt);
        return;
    }
    TimedLyrics lyrics(LyricTier::interpolated, std::move(words));
    if (isTheWrongOne(lyrics, candidate)) {
        finishWithFallback();
        return;
    }
    lyrics_log::interpolated(lyrics.words().size());
    finishFromService(std::move(lyrics), candidate);
}

// A long text takes a while to read: the parse runs on the lyric parsing thread, never on the
// thread whose event loop draws the overlay, and the lookup goes on when the words come back.
void LyricsLookup::parseInBackground(std::function<QList<TimedWord>()> parse, Parsed next)
{
    auto promise = std::make_shared<QPromise<QList<TimedWord>>>();
    auto* watcher = new QFutureWatcher<QList<TimedWord>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, next] {
        watcher->deleteLater();
        (this->*next)(watcher->result());
    });
    watcher->setFuture(promise->future());
    lyricParsingThread().start([promise, parse = std::move(parse)] {
        promise->start();
        promise->addResult(parse());
        promise->finish();
    });
}

// Marks the candidate rejected when its lyrics are the ones a retry replaces.
bool LyricsLookup::isTheWrongOne(const TimedLyrics& lyrics, const Candidate& candidate)
{
    if (!m_mode.wrong || !sameWords(lyrics, *m_mode.wrong))
        return false;
    m_mode.wrong.reset();
    m_rejectionsInPlay = true;
    if (m_rejected.reject(m_track, candidate.id))
        lyrics_log::rejected(candidate, m_track);
    return true;
}

void LyricsLookup::finishFromService(TimedLyrics lyrics, const Candidate& candidate)
{
    m_cache.write(lyrics, m_track);
    m_origin = {LyricsOrigin::Kind::service, candidate};
    finish(std::move(lyrics));
}

void LyricsLookup::finish(std::optional<TimedLyrics> lyrics)
{
    if (!lyrics && m_rejectionsInPlay) {
        lyrics_log::noOtherMatch(m_track);
        m_origin.noOtherMatch = true;
    }
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
