#pragma once

#include "lyrics/SourceLookup.h"

#include <QPair>
#include <QString>

#include <cstdint>

// The lyrics web service's part of a lookup: a search, then the lyric texts of up to maxProbes
// matching candidates one after the other. Word-level text wins wherever it is found; the first
// line-level text met is the fallback once every probe is done.
//
// Candidates the user rejected for the track are left out, before the probes are counted.
class NcmLookup : public SourceLookup {
    Q_OBJECT
public:
    struct Limits {
        std::int64_t durationToleranceMs;
        qsizetype maxProbes;
    };

    NcmLookup(ServiceSession& session, Limits limits, LookupContext& context, QObject* parent);

    void start() override;

private:
    void onSearchReply(const Response& reply);
    void probeNext();
    void onLyricReply(const Response& reply);
    void onWordLevelWords(QList<TimedWord> words);
    void keepLineLevelTextAndProbeNext();
    void finishWithFallback();
    void onLineLevelWords(QList<TimedWord> words);

    ServiceSession& m_session;
    const Limits m_limits;
    QString m_query;
    QList<Candidate> m_probes;
    qsizetype m_probed = 0;  // candidates of m_probes asked so far
    // Every line-level text met, with its candidate: the first is the fallback, unless it is the wrong one.
    QList<QPair<Candidate, QString>> m_lineLevelTexts;
    qsizetype m_fallbacksTried = 0;
    std::optional<QString> m_probeLineLevel;  // the line-level text of the probe being read
};
