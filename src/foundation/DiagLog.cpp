#include "foundation/DiagLog.h"

#include "foundation/RegularFileAppend.h"
#include "foundation/UserFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTime>

#include <cstdio>

void DiagLog::log(const QString& message) { shared().write(message); }

DiagLog& DiagLog::shared()
{
    // Deliberately never destroyed: other threads may still log while static objects are torn down.
    static DiagLog* const instance = new DiagLog(UserFolders::logFile());
    return *instance;
}

void DiagLog::writeToStandardError(const QString& message)
{
    // One fwrite per call keeps lines from concurrent callers whole; a line break inside the
    // message is shown escaped so that one call stays one line.
    QString line = message;
    line.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    const QByteArray bytes = QByteArrayLiteral("[Zuvik] ") + line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

DiagLog::DiagLog(QString filePath, SystemLogSink systemLog)
    : m_filePath(std::move(filePath))
    , m_systemLog(std::move(systemLog))
    , m_writer([this] { runWriter(); })
{}

DiagLog::~DiagLog()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_writer.join();
}

void DiagLog::write(const QString& message)
{
    if (m_systemLog)
        m_systemLog(message);
    {
        std::lock_guard lock(m_mutex);
        m_pending.push_back(message);
    }
    m_wake.notify_one();
}

void DiagLog::waitUntilWritten()
{
    std::unique_lock lock(m_mutex);
    m_drained.wait(lock, [this] { return m_pending.empty() && !m_writing; });
}

void DiagLog::runWriter()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_pending.empty(); });
        if (m_pending.empty())
            return;  // stopping, and nothing left to write
        const QString message = std::move(m_pending.front());
        m_pending.pop_front();
        m_writing = true;
        lock.unlock();
        append(message);
        lock.lock();
        m_writing = false;
        if (m_pending.empty())
            m_drained.notify_all();
    }
}

void DiagLog::append(const QString& message) const
{
    // The time is the time of writing, which is what the file's reader sees as the record's order.
    const QString stamp = QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz"));
    const QByteArray record = stamp.toUtf8() + "  " + message.toUtf8() + '\n';

    const QFileInfo info(m_filePath);
    if (info.exists() && info.size() > fileSizeCap)
        QFile::remove(m_filePath);

    // Only ever appended to a regular file: a FIFO or a link at the path drops the record.
    if (!appendToRegularFile(m_filePath, record)) {
        // Usually the folder is missing on a first run; any other failure drops the record.
        if (QDir().mkpath(info.absolutePath()))
            appendToRegularFile(m_filePath, record);
    }
}
