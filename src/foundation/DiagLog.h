#pragma once

#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// The one logging facility. Each message goes at once to the system log (standard error here,
// prefixed "[Zuvik] ") and, in the background, to a plain-text file of "HH:mm:ss.zzz  message" records.
// The file is deleted and started afresh once it has grown past fileSizeCap.
class DiagLog {
public:
    using SystemLogSink = std::function<void(const QString& message)>;

    static constexpr qint64 fileSizeCap = 5 * 1024 * 1024;

    // Logs through the process-wide instance; callable from any thread, returns at once.
    static void log(const QString& message);
    // The process-wide instance, created on first use and kept until the process ends.
    static DiagLog& shared();
    // Writes "[Zuvik] " + message as one line to standard error.
    static void writeToStandardError(const QString& message);

    explicit DiagLog(QString filePath, SystemLogSink systemLog = writeToStandardError);
    ~DiagLog();  // writes what is still queued, then stops the writer thread
    DiagLog(const DiagLog&) = delete;
    DiagLog& operator=(const DiagLog&) = delete;

    void write(const QString& message);
    // Blocks until every record queued before the call has been appended (or dropped).
    void waitUntilWritten();
    const QString& filePath() const { return m_filePath; }

private:
    void runWriter();
    void append(const QString& message) const;

    const QString m_filePath;
    const SystemLogSink m_systemLog;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_drained;
    std::deque<QString> m_pending;
    bool m_writing = false;
    bool m_stopping = false;
    std::thread m_writer;  // last member: starts once everything above is ready
};
