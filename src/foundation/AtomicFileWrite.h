#pragma once

#include <QByteArray>
#include <QString>

// What became of a write.
struct WriteResult {
    bool written = false;
    QString error;  // why not, as the system words it ("No space left on device"); empty when written
};

// Replaces the file at `path` with `bytes` as a whole: they go to a new file of a unique name in
// the same folder (created exclusively, so nothing already there is ever opened for writing),
// which is flushed to disk and renamed over the path. A reader sees the old file or the new one,
// never a part; a failure at any step leaves the old file as it was and removes the new one. A
// symbolic link at `path` is replaced, not followed. The new file keeps the old one's permissions
// (0644 for a first file). The folder must exist. Blocking file I/O.
WriteResult writeFileAtomically(const QString& path, const QByteArray& bytes);
