#pragma once

#include "lyrics/LrclibReplies.h"
#include "lyrics/SourceLookup.h"

#include <cstdint>

// LRCLIB's part of a lookup: /api/get with the track's title, artist and length; when that finds
// nothing (or only a record the user sent away), /api/search, of whose records the first that
// the identity and duration rules choose is taken. Only a synced text gives lyrics: line-timed
// text is interpolated as the service's line-level text is, enhanced per-word tags give word-level
// times. An instrumental or plain-only record gives nothing, with a log line.
class LrclibLookup : public SourceLookup {
    Q_OBJECT
public:
    LrclibLookup(ServiceSession& session, std::int64_t durationToleranceMs, LookupContext& context, QObject* parent);

    void start() override;

private:
    void onGetReply(const Response& reply);
    void search();
    void onSearchReply(const Response& reply);
    void takeNext();
    void take(const LrclibRecord& record);
    void onWords(const Candidate& candidate, LyricTier tier, QList<TimedWord> words);

    ServiceSession& m_session;
    const std::int64_t m_durationToleranceMs;
    bool m_searched = false;
    QList<LrclibRecord> m_chosen;  // from the search, best first, not yet taken
};
