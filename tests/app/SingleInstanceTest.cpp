#include "app/SingleInstance.h"
#include "PrivateBus.h"
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
}

TEST(SingleInstanceClaim, WithoutABusTheApplicationStillRuns)
{
    const QDBusConnection none = QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"),
                                                               QStringLiteral("nobus"));
    EXPECT_EQ(SingleInstance(none).claim(), SingleInstance::Claim::noSessionBus);
}

}  // namespace
