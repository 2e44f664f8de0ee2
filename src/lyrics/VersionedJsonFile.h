#pragma once

#include "foundation/AtomicFileWrite.h"

#include <QJsonObject>
#include <QString>

#include <optional>

// The small JSON files Zuvik keeps in its data folder ({"version": N, KEY: {...}}), read whole at
// start and replaced whole on every change.
namespace versioned_json_file {

// Larger files are not ones Zuvik wrote; they are set aside rather than read into memory.
inline constexpr qint64 maxFileBytes = 16 * 1024 * 1024;

struct ReadResult {
    // The file's top object; nothing when there is no file or it was set aside.
    std::optional<QJsonObject> root;
    // A file that is there but cannot be read (permissions, a FIFO, a folder): "cannot read PATH:
    // REASON". Its owner must not write over it, since it may hold what the user had.
    QString unusable;
};

// The file's top object when it holds the version and an object under `contentKey`. A file that
// does not (or is too large) is set aside by setAsideCorrupt and logged as
// logPrefix + "… unreadable — kept aside as PATH" (unusable when it cannot be moved). Nothing,
// silently, when there is no file.
ReadResult read(const QString& path, int version, const QString& contentKey, const QString& logPrefix);

// Written beside and renamed over (writeFileAtomically), so a failure or a crash mid-write leaves
// the old file whole; creates the folder. The error reads "cannot write PATH: REASON"; logging it
// is the caller's, who knows what was lost.
WriteResult write(const QString& path, const QJsonObject& root);

}  // namespace versioned_json_file
