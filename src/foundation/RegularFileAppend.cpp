#include "foundation/RegularFileAppend.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool appendToRegularFile(const QString& path, const QByteArray& bytes)
{
    // O_NONBLOCK: a FIFO with no reader fails at once (ENXIO) instead of waiting for one.
    // O_NOFOLLOW: a link planted at the path does not send the record somewhere else.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (ok) {
        ssize_t written = -1;
        do
            written = ::write(fd, bytes.constData(), static_cast<size_t>(bytes.size()));
        while (written < 0 && errno == EINTR);
        ok = written == bytes.size();
    }
    return ::close(fd) == 0 && ok;
}
