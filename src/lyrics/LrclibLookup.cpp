#include "lyrics/LrclibLookup.h"

#include "lyrics/CandidateChoice.h"
#include "lyrics/LineLevelParser.h"
#include "lyrics/LocalLyricsParser.h"
#include "lyrics/LrclibAddress.h"
#include "lyrics/LyricFilters.h"
#include "lyrics/LyricsLog.h"
#include "lyrics/ServiceSession.h"

LrclibLookup::LrclibLookup(ServiceSession& session, std::int64_t durationToleranceMs, LookupContext& context,
                           QObject* parent)
    : SourceLookup(context, parent)
    , m_session(session)
    , m_durationToleranceMs(durationToleranceMs)
{}

// Without a length /api/get cannot match: the search, which needs none, is asked at once.
void LrclibLookup::start()
{
    if (m_context.track().duration <= 0) {
        search();
        return;
    }
    get(
        m_session, lrclib_address::getUrl(m_session.baseUrl(), m_context.track()),
        [this](const Response& reply) { onGetReply(reply); }, true);
}

void LrclibLookup::onGetReply(const Response& reply)
{
    if (reply.notFound) {
        search();
        return;
    }
    if (!reply.document) {
        answer(std::nullopt);
        return;
    }
    const std::optional<LrclibRecord> record = lrclibRecordFromReply(*reply.document);
    if (!record) {
        lyrics_log::unexpectedReply(QStringLiteral("lrclib"), QStringLiteral("a record"));
        answer(std::nullopt);
        return;
    }
    m_searchResults.append(record->candidate);
    m_matches.append(record->candidate);
    if (m_context.isRejected(record->candidate)) {
        search();
        return;
    }
    take(*record);
}

void LrclibLookup::search()
{
    m_searched = true;
    get(m_session, lrclib_address::searchUrl(m_session.baseUrl(), m_context.track()),
        [this](const Response& reply) { onSearchReply(reply); });
}

void LrclibLookup::onSearchReply(const Response& reply)
{
    const std::optional<QList<LrclibRecord>> records = reply.document ? lrclibRecordsFromReply(*reply.document)
                                                                      : std::nullopt;
    if (!records) {
        if (reply.document)
            lyrics_log::unexpectedReply(QStringLiteral("lrclib"), QStringLiteral("a list of records"));
        answer(std::nullopt);
        return;
    }
    QList<Candidate> found;
    for (const LrclibRecord& record : *records)
        found.append(record.candidate);
    const QList<Candidate> chosen = chooseCandidates(found, m_context.track(), m_durationToleranceMs);
    if (chosen.isEmpty())
        lyrics_log::noneMatched(found.size(), QStringLiteral("lrclib: ") + m_context.track().title, m_context.track());
    m_searchResults.append(found);
    for (const Candidate& candidate : chosen) {
        if (m_matches.contains(candidate))
            continue;  // the record /api/get gave, already taken or sent away
        m_matches.append(candidate);
        if (m_context.isRejected(candidate))
            continue;
        const auto record = std::find_if(records->cbegin(), records->cend(),
                                         [&](const LrclibRecord& r) { return r.candidate == candidate; });
        m_chosen.append(*record);
    }
    takeNext();
}

void LrclibLookup::takeNext()
{
    if (m_chosen.isEmpty()) {
        answer(std::nullopt);
        return;
    }
    take(m_chosen.takeFirst());
}

void LrclibLookup::take(const LrclibRecord& record)
{
    if (record.instrumental) {
        lyrics_log::instrumental(m_context.track());
        answer(std::nullopt);
        return;
    }
    if (!record.syncedLyrics) {
        if (record.hasPlainLyrics)
            lyrics_log::plainOnly(m_context.track());
        else
            lyrics_log::nothingUsable(m_context.track());
        answer(std::nullopt);
        return;
    }
    const bool wordTimed = hasWordTags(*record.syncedLyrics);
    parseInBackground(
        [text = *record.syncedLyrics, track = m_context.track(), wordTimed] {
            return dropTranslationLines(wordTimed ? parseEnhancedLrc(text) : parseLineLevel(text), track.title,
                                        track.artist);
        },
        [this, candidate = record.candidate, wordTimed](QList<TimedWord> words) {
            onWords(candidate, wordTimed ? LyricTier::wordLevel : LyricTier::interpolated, std::move(words));
        });
}

void LrclibLookup::onWords(const Candidate& candidate, LyricTier tier, QList<TimedWord> words)
{
    if (words.isEmpty()) {
        lyrics_log::nothingUsable(m_context.track());
        answer(std::nullopt);
        return;
    }
    TimedLyrics lyrics(tier, std::move(words));
    if (m_context.isTheWrongOne(lyrics, candidate)) {
        // The record /api/get gave was the wrong one: the search may know another.
        if (m_searched)
            takeNext();
        else
            search();
        return;
    }
    if (tier == LyricTier::wordLevel)
        lyrics_log::wordLevel(candidate, lyrics.words().size());
    else
        lyrics_log::lineLevel(candidate, lyrics.words().size());
    answer(SourceAnswer{std::move(lyrics), candidate});
}
