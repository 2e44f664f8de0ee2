#pragma once

#include "lyrics/Candidate.h"
#include "playback/NowPlayingTrack.h"
#include "lyrics/TimedLyrics.h"

#include <QString>

#include <optional>

// The on-disk lyrics cache: one JSON document per track in a versioned folder, with no index,
// expiry or eviction. A read that fails is a miss; a write that fails leaves the old file and logs
// one line. Only regular files are read, and a file is replaced, never written through (a link
// in the folder is replaced, not followed).
//
// Lyrics of a source other than the first service also keep where they came from, in a member
// "from" ({"source", "id" as a string, "name", "artists"}) that older readers pass over; the
// first service's files are the bare document they always were.
class LyricsCache {
public:
    // Larger files are not documents the cache wrote: a miss.
    static constexpr qint64 maxFileBytes = 4 * 1024 * 1024;

    // Removes the folders of older formats (Lyrics/v2 to v4 under "Orvane") and creates
    // "Orvane/Lyrics/v5" under cacheFolder; gives the location of the latter.
    static QString prepare(const QString& cacheFolder);

    // directory: a folder made by prepare(). It is not created again if it disappears later.
    explicit LyricsCache(QString directory);

    const QString& directory() const { return m_directory; }
    QString fileLocation(const NowPlayingTrack& track) const;
    // The stored document, or nothing when there is none or it does not decode (or holds no words).
    std::optional<TimedLyrics> read(const NowPlayingTrack& track) const;
    struct Entry {
        TimedLyrics lyrics;
        std::optional<Candidate> from;  // known for lyrics of any source but the first service
    };
    // The stored document with where it came from, as far as the file says.
    std::optional<Entry> readEntry(const NowPlayingTrack& track) const;
    // Replaces the track's file at once: a reader sees the old or the new whole file, never a part.
    void write(const TimedLyrics& lyrics, const NowPlayingTrack& track,
               const std::optional<Candidate>& from = {}) const;
    // Forgets the track's document, if there is one.
    void remove(const NowPlayingTrack& track) const;

private:
    QString m_directory;
};
