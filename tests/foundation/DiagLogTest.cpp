#include "foundation/DiagLog.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The records of a log file with their time stamps checked and removed.
QStringList messagesIn(const QString& path)
{
    static const QRegularExpression record(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d  (.*)$"));
    QStringList messages;
    const QString text = QString::fromUtf8(contents(path));
    if (!text.endsWith(u'\n'))
        return {QStringLiteral("<file does not end in LF>")};
    QStringList lines = text.split(u'\n');
    lines.removeLast();
    for (const QString& line : lines) {
        const QRegularExpressionMatch match = record.match(line);
        messages.append(match.hasMatch() ? match.captured(1) : QStringLiteral("<malformed: %1>").arg(line));
    }
    return messages;
}

struct CollectingSink {
    std::shared_ptr<std::mutex> mutex = std::make_shared<std::mutex>();
    std::shared_ptr<QStringList> lines = std::make_shared<QStringList>();
    DiagLog::SystemLogSink sink() const
    {
        return [m = mutex, l = lines](const QString& message) {
            std::lock_guard lock(*m);
            l->append(message);
        };
    }
};

class DiagLogFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const char* relative) const { return dir.filePath(QString::fromUtf8(relative)); }
};

TEST_F(DiagLogFile, FirstRunCreatesTheFolderAndHoldsExactlyTheFirstRecord)
{
    const QString file = path("a/b/Zuvik/Zuvik.log");
    DiagLog log(file, nullptr);
    log.write(QStringLiteral("now playing (music): Artist — Title (215.0s)"));
    log.waitUntilWritten();
    EXPECT_EQ(messagesIn(file), QStringList{QStringLiteral("now playing (music): Artist — Title (215.0s)")});
    EXPECT_TRUE(contents(file).contains("Artist \xE2\x80\x94 Title"));  // written as UTF-8
}

TEST_F(DiagLogFile, AppendsAcrossRunsAndKeepsCallOrder)
{
    const QString file = path("Zuvik.log");
    {
        DiagLog first(file, nullptr);
        first.write(QStringLiteral("one"));
        first.write(QStringLiteral("two"));
    }  // destruction writes what is queued
    DiagLog second(file, nullptr);
    second.write(QStringLiteral("three"));
    second.write(QString());
    second.waitUntilWritten();
    EXPECT_EQ(messagesIn(file), (QStringList{"one", "two", "three", ""}));
}

TEST_F(DiagLogFile, EmptyMessageIsTimeTwoSpacesAndLineFeed)
{
    const QString file = path("Zuvik.log");
    DiagLog log(file, nullptr);
    log.write(QString());
    log.waitUntilWritten();
    const QByteArray bytes = contents(file);
    ASSERT_EQ(bytes.size(), 15);
    EXPECT_TRUE(bytes.endsWith("  \n"));
}

TEST_F(DiagLogFile, MessageIsWrittenUnchangedIncludingTabs)
{
    const QString file = path("Zuvik.log");
    DiagLog log(file, nullptr);
    log.write(QStringLiteral("player: spotify\tTitle\tArtist"));
    log.waitUntilWritten();
    EXPECT_EQ(messagesIn(file), QStringList{QStringLiteral("player: spotify\tTitle\tArtist")});
}

struct CapCase {
    const char* name;
    qint64 existingSize;
    bool kept;
};

class DiagLogCap : public DiagLogFile, public ::testing::WithParamInterface<CapCase> {};

TEST_P(DiagLogCap, DeletesTheFileOnlyPastFiveMebibytes)
{
    const QString file = path("Zuvik.log");
    {
        QFile existing(file);
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
        existing.write(QByteArray(GetParam().existingSize, 'x'));
    }
    DiagLog log(file, nullptr);
    log.write(QStringLiteral("next"));
    log.waitUntilWritten();
    const QByteArray bytes = contents(file);
    if (GetParam().kept) {
        EXPECT_EQ(bytes.size(), GetParam().existingSize + 19);
        EXPECT_TRUE(bytes.endsWith("  next\n"));
    } else {
        EXPECT_EQ(messagesIn(file), QStringList{QStringLiteral("next")});
    }
}

INSTANTIATE_TEST_SUITE_P(Boundary, DiagLogCap,
                         ::testing::Values(CapCase{"AtTheCap", DiagLog::fileSizeCap, true},
                                           CapCase{"OneByteOver", DiagLog::fileSizeCap + 1, false},
                                           CapCase{"Small", 10, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DiagLogFile, UnwritableFileDropsTheRecordButStillReachesTheSystemLog)
{
    // A regular file where the folder should be: the folder can never be made, not even by root.
    QFile blocker(path("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString file = path("blocker/Zuvik/Zuvik.log");

    CollectingSink system;
    DiagLog log(file, system.sink());
    log.write(QStringLiteral("lost"));
    log.waitUntilWritten();
    log.write(QStringLiteral("still fine"));
    log.waitUntilWritten();
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(*system.lines, (QStringList{"lost", "still fine"}));
}

TEST_F(DiagLogFile, ConcurrentCallersNeverInterleaveAndEachKeepsItsOrder)
{
    const QString file = path("Zuvik.log");
    constexpr int threads = 4;
    constexpr int perThread = 500;
    {
        DiagLog log(file, nullptr);
        std::vector<std::thread> writers;
        for (int t = 0; t < threads; ++t) {
            writers.emplace_back([&log, t] {
                for (int i = 0; i < perThread; ++i)
                    log.write(QStringLiteral("thread %1 message %2").arg(t).arg(i));
            });
        }
        for (std::thread& writer : writers)
            writer.join();
    }
    const QStringList messages = messagesIn(file);
    ASSERT_EQ(messages.size(), threads * perThread);
    std::vector<int> nextExpected(threads, 0);
    static const QRegularExpression shape(QStringLiteral("^thread (\\d) message (\\d+)$"));
    for (const QString& message : messages) {
        const QRegularExpressionMatch match = shape.match(message);
        ASSERT_TRUE(match.hasMatch()) << message.toStdString();
        const int t = match.captured(1).toInt();
        EXPECT_EQ(match.captured(2).toInt(), nextExpected[t]++);
    }
}

TEST(DiagLogSystemLog, WritesOnePrefixedLinePerCall)
{
    ::testing::internal::CaptureStderr();
    DiagLog::writeToStandardError(QStringLiteral("lyrics: cache hit"));
    DiagLog::writeToStandardError(QStringLiteral("two\nlines"));
    const std::string written = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(written, "[Zuvik] lyrics: cache hit\n[Zuvik] two\\nlines\n");
}

struct PathCase {
    const char* name;
    const char* stateHome;  // nullptr: unset
    const char* expectedSuffix;
};

class DiagLogPath : public ::testing::TestWithParam<PathCase> {};

TEST_P(DiagLogPath, FollowsXdgStateHome)
{
    const QByteArray saved = qgetenv("XDG_STATE_HOME");
    if (GetParam().stateHome)
        qputenv("XDG_STATE_HOME", GetParam().stateHome);
    else
        qunsetenv("XDG_STATE_HOME");
    const QString path = DiagLog::defaultFilePath();
    qputenv("XDG_STATE_HOME", saved);
    const QString expected = QString::fromUtf8(GetParam().expectedSuffix).replace(QStringLiteral("~"), QDir::homePath());
    EXPECT_EQ(path, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Xdg, DiagLogPath,
    ::testing::Values(PathCase{"Set", "/var/tmp/state", "/var/tmp/state/Zuvik/Zuvik.log"},
                      PathCase{"Unset", nullptr, "~/.local/state/Zuvik/Zuvik.log"},
                      PathCase{"Empty", "", "~/.local/state/Zuvik/Zuvik.log"},
                      PathCase{"RelativeIsIgnored", "relative/state", "~/.local/state/Zuvik/Zuvik.log"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
