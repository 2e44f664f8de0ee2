#pragma once

#include "lyrics/Candidate.h"
#include "playback/NowPlayingTrack.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <cstdint>

// The first of several artists named in one string: the text before the first "," or "&", trimmed.
QString primaryArtist(QStringView artist);

// What the service is searched for: the primary artist, a space and the key of the title.
QString searchQuery(const NowPlayingTrack& track);

// The identity test: the keys of the titles agree (equal, or one is the other plus whole words),
// and the candidate's artists share a word with the track's artist unless the latter has none.
// A candidate without artists therefore matches only a track whose artist key is empty.
bool matches(const Candidate& candidate, const NowPlayingTrack& track);

// The candidates worth probing, best first: those that pass the identity test and, when the track
// has a known duration, last within toleranceMs of it. Exact titles come before the rest; within
// each class nearer durations come first, and the reply order decides among equals.
QList<Candidate> chooseCandidates(const QList<Candidate>& candidates, const NowPlayingTrack& track,
                                  std::int64_t toleranceMs);
