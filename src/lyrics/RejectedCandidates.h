#pragma once

#include "lyrics/LyricSource.h"
#include "playback/NowPlayingTrack.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <cstdint>

// The candidates the user sent away as the wrong song, per track (see trackKey) and source. Kept
// in a JSON file ({"version": 1, "rejected": {KEY: ["id", "lrclib:id", …]}}, ids as strings so
// that no 64-bit id loses digits; the first service's ids bare, as older files hold them),
// replaced whole on every change. Without a file path the rejections last only as
// long as the object.
class RejectedCandidates {
public:
    // Reads the file; one that does not decode is set aside (setAsideCorrupt) with a log line, and
    // the rejections start empty. One that is there but cannot be read is logged and never written
    // over: rejections then last only as long as the object.
    explicit RejectedCandidates(QString filePath = {});

    QSet<std::int64_t> rejectedFor(const NowPlayingTrack& track, LyricSource source = LyricSource::ncm) const;
    // Adds the id and writes the file atomically (a failed write is logged; the id stays rejected
    // in memory); false when it was rejected already.
    bool reject(const NowPlayingTrack& track, std::int64_t id, LyricSource source = LyricSource::ncm);

    const QString& filePath() const { return m_filePath; }

private:
    void load();
    void save() const;

    QString m_filePath;
    QString m_unusable;  // why the file at start could not be read; set: it is not written over
    QHash<QString, QSet<QString>> m_rejected;  // the stored forms of the ids
};
