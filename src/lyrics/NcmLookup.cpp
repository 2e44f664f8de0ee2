#include "lyrics/NcmLookup.h"

#include "lyrics/CandidateChoice.h"
#include "lyrics/LineLevelParser.h"
#include "lyrics/LyricFilters.h"
#include "lyrics/LyricsLog.h"
#include "lyrics/ServiceAddress.h"
#include "lyrics/ServiceReplies.h"
#include "lyrics/ServiceSession.h"
#include "lyrics/WordLevelParser.h"

#include <algorithm>

namespace {

std::optional<QJsonObject> objectOf(const std::optional<QJsonDocument>& document)
{
    return document && document->isObject() ? std::optional(document->object()) : std::nullopt;
}

}  // namespace

NcmLookup::NcmLookup(ServiceSession& session, Limits limits, LookupContext& context, QObject* parent)
    : SourceLookup(context, parent)
    , m_session(session)
    , m_limits(limits)
{}

void NcmLookup::start()
{
    m_query = searchQuery(m_context.track());
    get(m_session, service_address::searchUrl(m_session.baseUrl(), m_query),
        [this](const Response& reply) { onSearchReply(reply); });
}

void NcmLookup::onSearchReply(const Response& reply)
{
    const std::optional<QJsonObject> object = objectOf(reply.document);
    const std::optional<QList<Candidate>> candidates = object ? candidatesFromSearchReply(*object) : std::nullopt;
    bool rejectionsInPlay = false;
    if (candidates) {
        m_searchResults = *candidates;
        m_matches = chooseCandidates(*candidates, m_context.track(), m_limits.durationToleranceMs);
        if (m_matches.isEmpty())
            lyrics_log::noneMatched(candidates->size(), m_query, m_context.track());
        for (const Candidate& candidate : std::as_const(m_matches)) {
            if (m_context.isRejected(candidate))
                rejectionsInPlay = true;
            else
                m_probes.append(candidate);
        }
    }
    if (m_probes.isEmpty()) {
        if (!rejectionsInPlay)
            lyrics_log::noCandidate(m_context.track());
        answer(std::nullopt);
        return;
    }
    // The wrong text is fetched once more only to learn whose it is; that takes no probe from the rest.
    const qsizetype probes = m_limits.maxProbes + (m_context.isLookingForTheWrongOne() ? 1 : 0);
    m_probes.resize(std::min(m_probes.size(), probes));
    probeNext();
}

void NcmLookup::probeNext()
{
    if (m_probed == m_probes.size()) {
        finishWithFallback();
        return;
    }
    const std::int64_t id = m_probes[m_probed].id;
    ++m_probed;
    get(m_session, service_address::lyricUrl(m_session.baseUrl(), id),
        [this](const Response& reply) { onLyricReply(reply); });
}

// Word-level text wins wherever it is found; the first line-level text is kept in case none is.
void NcmLookup::onLyricReply(const Response& reply)
{
    const std::optional<QJsonObject> object = objectOf(reply.document);
    const LyricTexts texts = object ? lyricTextsFromReply(*object) : LyricTexts{};
    m_probeLineLevel = texts.lineLevel;
    if (!texts.wordLevel) {
        keepLineLevelTextAndProbeNext();
        return;
    }
    parseInBackground(
        [text = *texts.wordLevel, track = m_context.track()] {
            return dropTranslationLines(parseWordLevel(text), track.title, track.artist);
        },
        [this](QList<TimedWord> words) { onWordLevelWords(std::move(words)); });
}

void NcmLookup::onWordLevelWords(QList<TimedWord> words)
{
    if (words.isEmpty()) {
        keepLineLevelTextAndProbeNext();
        return;
    }
    const Candidate candidate = m_probes[m_probed - 1];
    TimedLyrics lyrics(LyricTier::wordLevel, std::move(words));
    if (m_context.isTheWrongOne(lyrics, candidate)) {
        probeNext();
        return;
    }
    lyrics_log::wordLevel(candidate, lyrics.words().size());
    answer(SourceAnswer{std::move(lyrics), candidate});
}

void NcmLookup::keepLineLevelTextAndProbeNext()
{
    if (m_probeLineLevel)
        m_lineLevelTexts.append({m_probes[m_probed - 1], *m_probeLineLevel});
    m_probeLineLevel.reset();
    probeNext();
}

// Only the first line-level text counts, unless it is the one the user sent away.
void NcmLookup::finishWithFallback()
{
    if (m_fallbacksTried == m_lineLevelTexts.size()) {
        lyrics_log::nothingUsable(m_context.track());
        answer(std::nullopt);
        return;
    }
    parseInBackground(
        [text = m_lineLevelTexts[m_fallbacksTried].second, track = m_context.track()] {
            return dropTranslationLines(parseLineLevel(text), track.title, track.artist);
        },
        [this](QList<TimedWord> words) { onLineLevelWords(std::move(words)); });
}

void NcmLookup::onLineLevelWords(QList<TimedWord> words)
{
    const Candidate candidate = m_lineLevelTexts[m_fallbacksTried++].first;
    if (words.isEmpty()) {
        lyrics_log::nothingUsable(m_context.track());
        answer(std::nullopt);
        return;
    }
    TimedLyrics lyrics(LyricTier::interpolated, std::move(words));
    if (m_context.isTheWrongOne(lyrics, candidate)) {
        finishWithFallback();
        return;
    }
    lyrics_log::interpolated(lyrics.words().size());
    answer(SourceAnswer{std::move(lyrics), candidate});
}
