#include "foundation/CorruptFile.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

std::optional<QString> setAsideCorrupt(const QString& path)
{
    for (int n = 1;; ++n) {
        const QString aside = path + (n == 1 ? QStringLiteral(".corrupt") : QStringLiteral(".corrupt.%1").arg(n));
        // lstat, not QFile::exists: a dangling link is a name in use too.
        struct stat info {};
        if (::lstat(QFile::encodeName(aside).constData(), &info) == 0)
            continue;
        if (errno != ENOENT)
            return std::nullopt;  // the folder cannot be searched: nothing is moved
        if (std::rename(QFile::encodeName(path).constData(), QFile::encodeName(aside).constData()) != 0)
            return std::nullopt;
        return aside;
    }
}
