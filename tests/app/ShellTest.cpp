// The shell's small parts: the single-instance claim, display identities and the frame trace.
#include "app/DisplayIdentity.h"
#include "app/FrameTrace.h"
#include "app/SingleInstance.h"
#include "PrivateBus.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(SingleInstanceClaim, FirstWinsSecondIsToldAndTheNameFreesWithTheFirst)
{
    PrivateBus bus;
    ASSERT_TRUE(bus.isRunning());
    {
        QDBusConnection first = bus.connect(QStringLiteral("first"));
        EXPECT_EQ(SingleInstance(first).claim(), SingleInstance::Claim::first);
        EXPECT_EQ(SingleInstance(bus.connect(QStringLiteral("second"))).claim(),
                  SingleInstance::Claim::anotherIsRunning);
        QDBusConnection::disconnectFromBus(QStringLiteral("first"));  // the first copy exits
    }
    EXPECT_EQ(SingleInstance(bus.connect(QStringLiteral("third"))).claim(), SingleInstance::Claim::first);
    const QDBusConnection none = QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"),
                                                               QStringLiteral("nobus"));
    EXPECT_EQ(SingleInstance(none).claim(), SingleInstance::Claim::noSessionBus);
}

TEST(DisplayId, FollowsAMonitorNotItsPortAndTellsTwinsApart)
{
    const auto screen = [](const char* connector, const char* maker, const char* model, const char* serial) {
        return ScreenDescription{connector, maker, model, serial};
    };
    const ScreenDescription dell = screen("DP-1", "DEL", "U2720Q", "7XQ8K23");
    EXPECT_EQ(displayIdFor(screen("HDMI-A-1", "DEL", "U2720Q", "7XQ8K23")), displayIdFor(dell));
    EXPECT_NE(displayIdFor(screen("DP-1", "DEL", "U2720Q", "7XQ8K24")), displayIdFor(dell));
    EXPECT_NE(displayIdFor(screen("VIRTUAL-1", "", "", "")), displayIdFor(screen("VIRTUAL-2", "", "", "")));
    EXPECT_NE(displayIdFor(screen("X", "ab", "c", "s")), displayIdFor(screen("X", "a", "bc", "s")));
    // Stored in the settings; FNV-1a of "DEL\x1fU2720Q\x1f7XQ8K23", worked out separately.
    EXPECT_EQ(displayIdFor(dell), 3375790369u);
    EXPECT_NE(displayIdFor(ScreenDescription{}), 0u);
}

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
