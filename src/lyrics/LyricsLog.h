#pragma once

#include "lyrics/Candidate.h"
#include "playback/NowPlayingTrack.h"
#include "lyrics/TimedLyrics.h"

#include <QString>
#include <QUrl>

// The diagnostic lines of a lyrics lookup, one function per outcome, so the wording lives in one
// place. Artist and title are separated by an em dash between spaces.
namespace lyrics_log {

// A track as the log and the user's answers name it: "ARTIST — TITLE".
QString artistAndTitle(const NowPlayingTrack& track);
// A candidate as the log names it: SOURCE ID "NAME" by ARTIST/ARTIST (SOURCE: ncm, lrclib).
QString described(const Candidate& candidate);

void cacheHit(const TimedLyrics& lyrics);
void noCandidate(const NowPlayingTrack& track);
void noneMatched(qsizetype resultCount, const QString& query, const NowPlayingTrack& track);
void wordLevel(const Candidate& candidate, qsizetype wordCount);
void interpolated(qsizetype wordCount);
// Line-timed lyrics of a source whose answer is its candidate's only text (LRCLIB).
void lineLevel(const Candidate& candidate, qsizetype wordCount);
void plainOnly(const NowPlayingTrack& track);
void instrumental(const NowPlayingTrack& track);
void nothingUsable(const NowPlayingTrack& track);
void requestFailed(const QString& description);
// A reply that is JSON but not of the shape the source answers with.
void unexpectedReply(const QString& source, const QString& expected);
void httpFailure(const QUrl& url);
void rejected(const Candidate& candidate, const NowPlayingTrack& track);
void noOtherMatch(const NowPlayingTrack& track);

}  // namespace lyrics_log
