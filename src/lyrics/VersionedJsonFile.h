#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

// The small JSON files Zuvik keeps in its data folder ({"version": N, KEY: {...}}), read whole at
// start and replaced whole on every change.
namespace versioned_json_file {

// The file's top object when it holds the version and an object under `contentKey`. A file that
// does not is renamed aside (".corrupt" appended, replacing an older one) and logged as
// logPrefix + "… unreadable — kept aside as PATH". Nothing, silently, when there is no file.
std::optional<QJsonObject> read(const QString& path, int version, const QString& contentKey, const QString& logPrefix);

// Written beside and renamed over, so a crash mid-write leaves the old file whole; creates the
// folder. False (and one log line) when it could not be written.
bool write(const QString& path, const QJsonObject& root, const QString& logPrefix);

}  // namespace versioned_json_file
