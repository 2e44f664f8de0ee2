#include "foundation/RegularFileRead.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileRead failure(FileRead::Status status, QString error) { return {status, {}, std::move(error)}; }

FileRead tooLarge(qint64 maxBytes)
{
    return failure(FileRead::Status::tooLarge, QStringLiteral("larger than %1 bytes").arg(maxBytes));
}

}  // namespace

FileRead readRegularFile(const QString& path, qint64 maxBytes)
{
    // O_NONBLOCK: opening a FIFO with no writer would otherwise wait for one.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return failure(FileRead::Status::missing, {});
        return failure(FileRead::Status::unreadable, qt_error_string(errno));
    }
    const auto closing = [fd](FileRead result) {
        ::close(fd);
        return result;
    };
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return closing(failure(FileRead::Status::unreadable, qt_error_string(errno)));
    if (!S_ISREG(info.st_mode))
        return closing(failure(FileRead::Status::notRegular, QStringLiteral("not a regular file")));
    if (info.st_size > maxBytes)
        return closing(tooLarge(maxBytes));

    // Read up to one byte past the cap: a file that grew since fstat is still caught.
    QByteArray bytes(static_cast<qsizetype>(info.st_size) + 1, Qt::Uninitialized);
    qsizetype filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled > maxBytes)
                return closing(tooLarge(maxBytes));
            bytes.resize(std::min<qsizetype>(bytes.size() * 2, static_cast<qsizetype>(maxBytes) + 1));
        }
        const ssize_t got = ::read(fd, bytes.data() + filled, static_cast<size_t>(bytes.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return closing(failure(FileRead::Status::unreadable, qt_error_string(errno)));
        if (got == 0)
            break;
        filled += got;
    }
    if (filled > maxBytes)
        return closing(tooLarge(maxBytes));
    bytes.truncate(filled);
    return closing({FileRead::Status::read, std::move(bytes), {}});
}
