#include "app/FrameTrace.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(FrameTrace, AppendsALinePerFrameToTheFileItIsGiven)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("trace"));
    const auto at = [](qint64 ms) { return QDateTime::fromMSecsSinceEpoch(1'800'000'000'000 + ms, Qt::UTC); };
    FrameTrace(path).record(at(5), 12.3456, 12.0);
    FrameTrace second(path);
    ASSERT_TRUE(second.isOpen());
    second.record(at(1120), -0.1, std::nullopt);  // on disk at once, with the trace still open
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "1800000000.005 12.3456 12.000\n1800000001.120 -0.1000 -\n");
}

}  // namespace
