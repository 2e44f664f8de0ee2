#include "app/FrameTrace.h"

#include "LogLines.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(FrameTrace, LinesReadWallTimePlayheadAndWordStart)
{
    const auto at = [](qint64 ms) { return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC); };
    EXPECT_EQ(FrameTrace::line(at(1'800'000'000'005), 12.3456, 12.0), "1800000000.005 12.3456 12.000\n");
    EXPECT_EQ(FrameTrace::line(at(1'800'000'000'120), 0.0, std::nullopt), "1800000000.120 0.0000 -\n");
    EXPECT_EQ(FrameTrace::line(at(1'800'000'001'999), -0.1, std::nullopt), "1800000001.999 -0.1000 -\n");
}

TEST(FrameTrace, AppendsToTheFileItIsGiven)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("trace"));
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(1'800'000'000'000, Qt::UTC);
    FrameTrace(path).record(at, 1.0, 0.5);
    FrameTrace second(path);
    ASSERT_TRUE(second.isOpen());
    second.record(at.addMSecs(16), 1.016, 0.5);  // on disk at once, with the trace still open
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "1800000000.000 1.0000 0.500\n1800000000.016 1.0160 0.500\n");
}

TEST(FrameTrace, IsMadeOnlyWhenAskedForAndWritable)
{
    qunsetenv(FrameTrace::environmentVariable);
    EXPECT_EQ(FrameTrace::fromEnvironment(), nullptr);
    const LogLines log;
    qputenv(FrameTrace::environmentVariable, "/nonexistent-folder/trace");
    EXPECT_EQ(FrameTrace::fromEnvironment(), nullptr);
    EXPECT_EQ(log.newMessages(), QStringList{QStringLiteral("frame trace: cannot write /nonexistent-folder/trace")});
    QTemporaryDir folder;
    qputenv(FrameTrace::environmentVariable, folder.filePath(QStringLiteral("trace")).toUtf8());
    EXPECT_NE(FrameTrace::fromEnvironment(), nullptr);
    qunsetenv(FrameTrace::environmentVariable);
}

}  // namespace
