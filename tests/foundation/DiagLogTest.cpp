#include "foundation/DiagLog.h"
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

struct DiagLogFile : ::testing::Test {
    QString path(const char* relative) const { return dir.filePath(QString::fromUtf8(relative)); }
    QTemporaryDir dir;
};

TEST_F(DiagLogFile, DeletesTheFileOnlyPastFiveMebibytes)
{
    constexpr qint64 cap = 5 * 1024 * 1024;
    for (const qint64 size : {cap, cap + 1}) {
        QFile file(path("Zuvik.log"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray(size, 'x'));
        file.close();
        DiagLog log(file.fileName(), nullptr);
        log.write(QStringLiteral("next"));
        log.waitUntilWritten();
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.size(), (size > cap ? 0 : size) + 19) << size;  // "HH:mm:ss.zzz  next\n"
        EXPECT_TRUE(file.readAll().endsWith("  next\n"));
    }
}

TEST_F(DiagLogFile, UnwritableFileDropsTheRecordButStillReachesTheSystemLog)
{
    // A regular file where the folder should be: the folder can never be made, not even by root.
    ASSERT_TRUE(QFile(path("blocker")).open(QIODevice::WriteOnly));
    QStringList system;  // written by the calling thread only
    DiagLog log(path("blocker/Zuvik/Zuvik.log"), [&system](const QString& message) { system.append(message); });
    for (const QString message : {"lost", "still fine"}) {
        log.write(message);
        log.waitUntilWritten();
    }
    EXPECT_FALSE(QFile::exists(log.filePath()));
    EXPECT_EQ(system, (QStringList{"lost", "still fine"}));
}

// Concurrent callers never interleave and each keeps its order; what is queued is written at the end,
// the first run makes the folder and a later run appends.
TEST_F(DiagLogFile, CallersNeverInterleaveAndLaterRunsAppend)
{
    const QString file = path("a/b/Zuvik/Zuvik.log");
    constexpr int threads = 4, perThread = 500;
    {
        DiagLog log(file, nullptr);
        std::vector<std::jthread> writers;
        for (int t = 0; t < threads; ++t)
            writers.emplace_back([&log, t] {
                for (int i = 0; i < perThread; ++i)
                    log.write(QStringLiteral("thread %1\t— %2").arg(t).arg(i));
            });
    }
    DiagLog second(file, nullptr);
    second.write(QString());
    second.write(QStringLiteral("three"));
    second.waitUntilWritten();
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(written.readAll());
    ASSERT_TRUE(text.endsWith(u'\n'));
    QStringList messages;  // each record stamped "HH:mm:ss.zzz  "
    for (const QString& record : text.chopped(1).split(u'\n')) {
        static const QRegularExpression stamped(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d  (.*)$"));
        const QRegularExpressionMatch match = stamped.match(record);
        ASSERT_TRUE(match.hasMatch()) << record.toStdString();
        messages.append(match.captured(1));
    }
    ASSERT_EQ(messages.size(), threads * perThread + 2);
    EXPECT_EQ(messages.mid(threads * perThread), (QStringList{"", "three"}));
    std::vector<int> next(threads, 0);
    for (const QString& message : messages.first(threads * perThread)) {
        const QStringList parts = message.split(u' ');
        ASSERT_TRUE(parts.size() == 3 && parts[1].mid(1) == QStringLiteral("\t—")) << message.toStdString();
        EXPECT_EQ(parts[2].toInt(), next[parts[1].left(1).toInt()]++) << message.toStdString();
    }
}

TEST(DiagLogSystemLog, WritesOnePrefixedLinePerCall)
{
    ::testing::internal::CaptureStderr();
    DiagLog::writeToStandardError(QStringLiteral("lyrics: cache hit"));
    DiagLog::writeToStandardError(QStringLiteral("two\nlines"));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "[Zuvik] lyrics: cache hit\n[Zuvik] two\\nlines\n");
}
