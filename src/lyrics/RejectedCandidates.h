#pragma once

#include "playback/NowPlayingTrack.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <cstdint>

// The service candidates the user sent away as the wrong song, per track (see trackKey). Kept in
// a JSON file ({"version": 1, "rejected": {KEY: ["id", …]}}, ids as strings so that no 64-bit id
// loses digits), replaced whole on every change. Without a file path the rejections last only as
// long as the object.
class RejectedCandidates {
public:
    // "$XDG_DATA_HOME/Zuvik/rejected.json" (XDG_DATA_HOME defaulting to ~/.local/share).
    static QString userFile();

    // Reads the file; one that does not decode is renamed aside (".corrupt" appended) with a log
    // line, and the rejections start empty.
    explicit RejectedCandidates(QString filePath = {});

    QSet<std::int64_t> rejectedFor(const NowPlayingTrack& track) const;
    // Adds the id and writes the file atomically; false when it was rejected already.
    bool reject(const NowPlayingTrack& track, std::int64_t id);

    const QString& filePath() const { return m_filePath; }

private:
    void load();
    void save() const;

    QString m_filePath;
    QHash<QString, QSet<std::int64_t>> m_rejected;
};
