#pragma once

#include "foundation/AtomicFileWrite.h"
#include "playback/NowPlayingTrack.h"

#include <QHash>
#include <QString>

#include <optional>

// The user's timing correction per track, in seconds: positive draws the lyrics later. Kept in a
// JSON file ({"version": 1, "offsets": {KEY: seconds}}), replaced whole on every change.
class TrackOffsets {
public:
    static constexpr double limit = 30.0;  // seconds either way
    static constexpr double step = 0.1;  // what one tray nudge moves

    // The entry a track is kept under (see trackKey).
    static QString keyOf(const NowPlayingTrack& track);
    // Within ±limit, rounded to milliseconds; nothing for a value that is not a number.
    static std::optional<double> clamped(double seconds);

    // Reads the file; one that does not decode is set aside (setAsideCorrupt) with a log line, and
    // the offsets start empty. One that is there but cannot be read is logged and never written
    // over: every change is then kept in memory only.
    explicit TrackOffsets(QString filePath);

    double offset(const NowPlayingTrack& track) const;
    // Keeps the clamped value (0 removes the entry) and writes the file atomically. The value holds
    // in memory whether or not the write succeeds; the result says which ("cannot write PATH: …").
    WriteResult setOffset(const NowPlayingTrack& track, double seconds);
    WriteResult nudge(const NowPlayingTrack& track, double delta) { return setOffset(track, offset(track) + delta); }

    const QString& filePath() const { return m_filePath; }

private:
    void load();
    WriteResult save() const;

    QString m_filePath;
    QString m_unusable;  // why the file at start could not be read; set: it is not written over
    QHash<QString, double> m_offsets;
};
