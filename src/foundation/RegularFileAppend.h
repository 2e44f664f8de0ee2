#pragma once

#include <QByteArray>
#include <QString>

// Appends `bytes` to the regular file at `path`, creating it (0644) when there is none. Anything
// else at the path (a FIFO, a device, a folder, a symbolic link) is left alone and nothing is
// written: false. The open never blocks. One write call, so a record is never interleaved with a
// concurrent writer's. Blocking file I/O.
bool appendToRegularFile(const QString& path, const QByteArray& bytes);
