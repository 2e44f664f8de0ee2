#pragma once

#include <QByteArray>
#include <QString>

// What reading a file Zuvik keeps (or a lyric file of the user's) found.
struct FileRead {
    enum class Status {
        read,  // `bytes` holds the whole file
        missing,  // no such file
        notRegular,  // a FIFO, a folder, a device: never read, it could block or never end
        unreadable,  // there, but it cannot be opened or read (permissions, an I/O error)
        tooLarge,  // a regular file over the size the caller allows
    };
    Status status = Status::missing;
    QByteArray bytes;
    QString error;  // why it was not read, as a person reads it; empty when read or missing
};

// The whole file, when it is a regular file of at most maxBytes. Opened without blocking and
// checked before any byte is read, so a FIFO or a device at the path returns at once. A symbolic
// link is followed (a user's lyric file may be one); what it points at must be a regular file too.
// Blocking file I/O.
FileRead readRegularFile(const QString& path, qint64 maxBytes);
