#pragma once

#include "playback/NowPlayingTrack.h"

#include <QHash>
#include <QString>

#include <optional>

// The user's timing correction per track, in seconds: positive draws the lyrics later. Kept in a
// JSON file ({"version": 1, "offsets": {KEY: seconds}}), replaced whole on every change.
class TrackOffsets {
public:
    static constexpr double limit = 30.0;  // seconds either way
    static constexpr double step = 0.1;    // what one tray nudge moves

    // "$XDG_DATA_HOME/Zuvik/offsets.json" (XDG_DATA_HOME defaulting to ~/.local/share).
    static QString userFile();
    // The entry a track is kept under (see trackKey).
    static QString keyOf(const NowPlayingTrack& track);
    // Within ±limit, rounded to milliseconds; nothing for a value that is not a number.
    static std::optional<double> clamped(double seconds);

    // Reads the file; one that does not decode is renamed aside (".corrupt" appended) with a log
    // line, and the offsets start empty.
    explicit TrackOffsets(QString filePath);

    double offset(const NowPlayingTrack& track) const;
    // Stores the clamped value (0 removes the entry) and writes the file atomically; the value kept.
    double setOffset(const NowPlayingTrack& track, double seconds);
    double nudge(const NowPlayingTrack& track, double delta) { return setOffset(track, offset(track) + delta); }

    const QString& filePath() const { return m_filePath; }

private:
    void load();
    void save() const;

    QString m_filePath;
    QHash<QString, double> m_offsets;
};
