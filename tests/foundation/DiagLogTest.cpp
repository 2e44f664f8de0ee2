#include "foundation/DiagLog.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

// The records of a log file with their time stamps checked and removed.
QStringList messagesIn(const QString& path)
{
    static const QRegularExpression record(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d  (.*)$"));
    QFile file(path);
    const QString text = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    if (!text.endsWith(u'\n'))
        return {QStringLiteral("<no file, or it does not end in LF>")};
    QStringList messages;
    for (const QString& line : text.chopped(1).split(u'\n')) {
        const QRegularExpressionMatch match = record.match(line);
        messages.append(match.hasMatch() ? match.captured(1) : QStringLiteral("<malformed: %1>").arg(line));
    }
    return messages;
}

class DiagLogFile : public ::testing::Test {
protected:
    QString path(const char* relative) const { return dir.filePath(QString::fromUtf8(relative)); }
    QTemporaryDir dir;
};

TEST_F(DiagLogFile, FirstRunCreatesTheFolderAndLaterRunsAppendInCallOrder)
{
    const QString file = path("a/b/Zuvik/Zuvik.log");
    {
        DiagLog first(file, nullptr);
        first.write(QStringLiteral("now playing: Artist — Title"));
        first.write(QStringLiteral("player: spotify\tTitle"));
    }  // destruction writes what is queued
    DiagLog second(file, nullptr);
    second.write(QString());
    second.write(QStringLiteral("three"));
    second.waitUntilWritten();
    EXPECT_EQ(messagesIn(file), (QStringList{"now playing: Artist — Title", "player: spotify\tTitle", "", "three"}));
}

TEST_F(DiagLogFile, DeletesTheFileOnlyPastFiveMebibytes)
{
    for (const qint64 size : {DiagLog::fileSizeCap, DiagLog::fileSizeCap + 1}) {
        QFile file(path("Zuvik.log"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray(size, 'x'));
        file.close();
        DiagLog log(file.fileName(), nullptr);
        log.write(QStringLiteral("next"));
        log.waitUntilWritten();
        EXPECT_EQ(file.size(), (size > DiagLog::fileSizeCap ? 0 : size) + 19) << size;  // "HH:mm:ss.zzz  next\n"
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readAll().endsWith("  next\n"));
    }
}

TEST_F(DiagLogFile, UnwritableFileDropsTheRecordButStillReachesTheSystemLog)
{
    // A regular file where the folder should be: the folder can never be made, not even by root.
    ASSERT_TRUE(QFile(path("blocker")).open(QIODevice::WriteOnly));
    const QString file = path("blocker/Zuvik/Zuvik.log");
    QStringList system;  // written by the calling thread only
    DiagLog log(file, [&system](const QString& message) { system.append(message); });
    for (const QString message : {"lost", "still fine"}) {
        log.write(message);
        log.waitUntilWritten();
    }
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(system, (QStringList{"lost", "still fine"}));
}

TEST_F(DiagLogFile, ConcurrentCallersNeverInterleaveAndEachKeepsItsOrder)
{
    const QString file = path("Zuvik.log");
    constexpr int threads = 4, perThread = 500;
    {
        DiagLog log(file, nullptr);
        std::vector<std::thread> writers;
        for (int t = 0; t < threads; ++t)
            writers.emplace_back([&log, t] {
                for (int i = 0; i < perThread; ++i)
                    log.write(QStringLiteral("thread %1 message %2").arg(t).arg(i));
            });
        for (std::thread& writer : writers)
            writer.join();
    }
    const QStringList messages = messagesIn(file);
    ASSERT_EQ(messages.size(), threads * perThread);
    std::vector<int> next(threads, 0);
    static const QRegularExpression shape(QStringLiteral("^thread (\\d) message (\\d+)$"));
    for (const QString& message : messages) {
        const QRegularExpressionMatch match = shape.match(message);
        ASSERT_TRUE(match.hasMatch()) << message.toStdString();
        EXPECT_EQ(match.captured(2).toInt(), next[match.captured(1).toInt()]++);
    }
}

TEST(DiagLogSystemLog, WritesOnePrefixedLinePerCall)
{
    ::testing::internal::CaptureStderr();
    DiagLog::writeToStandardError(QStringLiteral("lyrics: cache hit"));
    DiagLog::writeToStandardError(QStringLiteral("two\nlines"));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "[Zuvik] lyrics: cache hit\n[Zuvik] two\\nlines\n");
}

TEST(DiagLogPath, FollowsAnAbsoluteXdgStateHome)
{
    const QByteArray saved = qgetenv("XDG_STATE_HOME");
    const std::pair<const char*, QString> cases[] = {{"/var/tmp/state", "/var/tmp/state"}, {"", QDir::homePath() + "/.local/state"},
                                                     {"relative/state", QDir::homePath() + "/.local/state"}};
    for (const auto& [stateHome, folder] : cases) {
        qputenv("XDG_STATE_HOME", stateHome);
        EXPECT_EQ(DiagLog::defaultFilePath(), folder + "/Zuvik/Zuvik.log") << stateHome;
    }
    qunsetenv("XDG_STATE_HOME");
    EXPECT_EQ(DiagLog::defaultFilePath(), QDir::homePath() + "/.local/state/Zuvik/Zuvik.log");
    qputenv("XDG_STATE_HOME", saved);
}

}  // namespace
