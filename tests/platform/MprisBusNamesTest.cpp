// The players' names between polls, on a private bus with fake player processes.
#include "EventLoopWait.h"
#include "FakePlayerProcess.h"
#include "PrivateSessionBus.h"
#include "QtTestSupport.h"

#include "platform/mpris/MprisBusNames.h"

#include <QDBusConnection>

#include <gtest/gtest.h>

#include <memory>

using namespace std::chrono_literals;

namespace {

const QString vlc = QStringLiteral("org.mpris.MediaPlayer2.vlc");
const QString mpv = QStringLiteral("org.mpris.MediaPlayer2.mpv");

class BusNames : public ::testing::Test {
protected:
    BusNames() { ensureQtApplication(); }
    void TearDown() override { QDBusConnection::disconnectFromBus(connection.name()); }

    QStringList names()
    {
        const auto listed = watched->names(1000);
        EXPECT_TRUE(std::holds_alternative<QStringList>(listed));
        return std::holds_alternative<QStringList>(listed) ? std::get<QStringList>(listed) : QStringList();
    }

    PrivateSessionBus bus;
    QDBusConnection connection = QDBusConnection::connectToBus(
        PrivateSessionBus::address(),
        QStringLiteral("bus-names-%1").arg(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::unique_ptr<MprisBusNames> watched = std::make_unique<MprisBusNames>(connection);
};

TEST_F(BusNames, APlayerThatHasJustStartedIsFoundWhileNoneIsKnown)
{
    ASSERT_TRUE(bus.isRunning());
    EXPECT_TRUE(names().isEmpty());
    FakePlayerProcess player(vlc);
    ASSERT_TRUE(player.isReady());
    EXPECT_EQ(names(), QStringList{vlc}) << "listed afresh, with no event delivered yet";
}

TEST_F(BusNames, PlayersComingAndGoingAreFollowedBetweenPolls)
{
    ASSERT_TRUE(bus.isRunning());
    auto first = std::make_unique<FakePlayerProcess>(vlc);
    ASSERT_TRUE(first->isReady());
    ASSERT_EQ(names(), QStringList{vlc});
    FakePlayerProcess second(mpv);
    ASSERT_TRUE(second.isReady());
    EXPECT_TRUE(waitFor([&] { return names() == QStringList({mpv, vlc}); })) << "sorted, both";
    first.reset();
    EXPECT_TRUE(waitFor([&] { return names() == QStringList{mpv}; }));
}

TEST_F(BusNames, ANameOtherThanAPlayersIsNeverListed)
{
    ASSERT_TRUE(bus.isRunning());
    FakePlayerProcess player(vlc);
    ASSERT_TRUE(player.isReady());
    FakePlayerProcess bare(QStringLiteral("org.mpris.MediaPlayer2"));  // the namespace itself
    ASSERT_TRUE(bare.isReady());
    for (int poll = 0; poll < MprisBusNames::pollsBetweenListings + 1; ++poll) {
        runEventLoopFor(10ms);
        ASSERT_EQ(names(), QStringList{vlc}) << "poll " << poll;
    }
}

}  // namespace
