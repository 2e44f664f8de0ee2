#include "lyrics/LyricsLog.h"

#include "foundation/DiagLog.h"

namespace lyrics_log {

QString artistAndTitle(const NowPlayingTrack& track) { return track.artist + QStringLiteral(" — ") + track.title; }

QString described(const Candidate& candidate)
{
    return sourceName(candidate.source) + QStringLiteral(" %1 \"").arg(candidate.id) + candidate.name
           + QStringLiteral("\" by ") + candidate.artists.join(u'/');
}

void cacheHit(const TimedLyrics& lyrics)
{
    DiagLog::log(
        QStringLiteral("lyrics: cache hit (%1, %2 words)").arg(rawValue(lyrics.tier())).arg(lyrics.words().size()));
}

void noCandidate(const NowPlayingTrack& track)
{
    DiagLog::log(QStringLiteral("lyrics: no candidate for ") + artistAndTitle(track));
}

void noneMatched(qsizetype resultCount, const QString& query, const NowPlayingTrack& track)
{
    DiagLog::log(QStringLiteral("lyrics: %1 results for \"").arg(resultCount) + query
                 + QStringLiteral("\", none matched identity+duration for ") + artistAndTitle(track));
}

void wordLevel(const Candidate& candidate, qsizetype wordCount)
{
    DiagLog::log(QStringLiteral("lyrics: word-level via ") + described(candidate)
                 + QStringLiteral(" (%1 words)").arg(wordCount));
}

void interpolated(qsizetype wordCount)
{
    DiagLog::log(QStringLiteral("lyrics: interpolated from line-level (%1 words)").arg(wordCount));
}

void lineLevel(const Candidate& candidate, qsizetype wordCount)
{
    DiagLog::log(QStringLiteral("lyrics: line-level via ") + described(candidate)
                 + QStringLiteral(" (%1 words)").arg(wordCount));
}

void plainOnly(const NowPlayingTrack& track)
{
    DiagLog::log(QStringLiteral("lyrics: lrclib has only plain lyrics for ") + artistAndTitle(track));
}

void instrumental(const NowPlayingTrack& track)
{
    DiagLog::log(QStringLiteral("lyrics: instrumental per lrclib: ") + artistAndTitle(track));
}

void nothingUsable(const NowPlayingTrack& track)
{
    DiagLog::log(QStringLiteral("lyrics: nothing usable for ") + artistAndTitle(track));
}

void requestFailed(const QString& description)
{
    DiagLog::log(QStringLiteral("lyrics: request failed — ") + description);
}

void unexpectedReply(const QString& source, const QString& expected)
{
    DiagLog::log(QStringLiteral("lyrics: request failed — the %1 reply is not %2").arg(source, expected));
}

void httpFailure(const QUrl& url)
{
    const QString host = url.host();
    DiagLog::log(QStringLiteral("lyrics: HTTP failure for ") + (host.isEmpty() ? QStringLiteral("?") : host));
}

void rejected(const Candidate& candidate, const NowPlayingTrack& track)
{
    DiagLog::log(QStringLiteral("lyrics: rejected ") + described(candidate) + QStringLiteral(" for ")
                 + artistAndTitle(track));
}

void noOtherMatch(const NowPlayingTrack& track)
{
    DiagLog::log(QStringLiteral("lyrics: no other match for ") + artistAndTitle(track));
}

}  // namespace lyrics_log
