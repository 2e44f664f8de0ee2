#pragma once

#include <QFile>
#include <QTemporaryDir>

#include <sys/mount.h>
#include <unistd.h>

// A small tmpfs on a temporary folder, to play a full disk or a read-only folder; needs root, else the test skips.
class ScratchMount {
public:
    ~ScratchMount()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }

    bool isMounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }

    // Takes every free block with a filler file, so that the next write finds no space.
    bool fill()
    {
        QFile filler(m_dir.filePath(QStringLiteral(".filler")));
        const QByteArray block(4096, 'x');
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        while (filler.write(block) == block.size()) {
        }
        return true;
    }
    bool makeReadOnly()
    {
        return ::mount(nullptr, QFile::encodeName(m_dir.path()).constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr)
               == 0;
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = ::geteuid() == 0 && m_dir.isValid()
                     && ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, "size=64k") == 0;
};
