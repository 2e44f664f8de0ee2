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
// A candidate as the log names it: ncm ID "NAME" by ARTIST/ARTIST.
QString described(const Candidate& candidate);

void cacheHit(const TimedLyrics& lyrics);
void noCandidate(const NowPlayingTrack& track);
void noneMatched(qsizetype resultCount, const QString& query, const NowPlayingTrack& track);
void wordLevel(const Candidate& candidate, qsizetype wordCount);
void interpolated(qsizetype wordCount);
void nothingUsable(const NowPlayingTrack& track);
void requestFailed(const QString& description);
void httpFailure(const QUrl& url);
void rejected(const Candidate& candidate, const NowPlayingTrack& track);
void noOtherMatch(const NowPlayingTrack& track);

}  // namespace lyrics_log
