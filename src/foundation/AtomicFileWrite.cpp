#include "foundation/AtomicFileWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t firstFileMode = 0644;

WriteResult failed(int errorNumber) { return {false, qt_error_string(errorNumber)}; }

// A hidden name beside the target that no other writer picks: a random part, retried on a clash.
QByteArray temporaryName(const QString& path)
{
    const QFileInfo target(path);
    const QString name = QStringLiteral(".%1.%2.tmp")
                             .arg(target.fileName())
                             .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
    return QFile::encodeName(target.dir().filePath(name));
}

bool writeAll(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return false;
        if (written == 0) {  // no error, no progress: the device is full
            errno = ENOSPC;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

// The folder's entry for the new name reaches the disk too; a folder that cannot be synced (some
// file systems refuse) still holds the renamed file, so this is best effort.
void syncFolder(const QString& path)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

WriteResult writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    const QByteArray target = QFile::encodeName(path);
    struct stat old {};
    const bool replacesRegularFile = ::lstat(target.constData(), &old) == 0 && S_ISREG(old.st_mode);
    const mode_t mode = replacesRegularFile ? (old.st_mode & 07777) : firstFileMode;

    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary = temporaryName(path);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (fd < 0 && errno != EEXIST && errno != EINTR)
            return failed(errno);
    }
    if (fd < 0)
        return failed(EEXIST);

    // The creation mode passes through the umask; a replacement keeps exactly the old file's mode.
    bool ok = (!replacesRegularFile || ::fchmod(fd, mode) == 0) && writeAll(fd, bytes) && ::fsync(fd) == 0;
    int error = ok ? 0 : errno;
    // A close that fails may have lost data the fsync did not see (NFS); it counts as a failed write.
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(temporary.constData(), target.constData()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temporary.constData());
        return failed(error);
    }
    syncFolder(path);
    return {true, {}};
}
