// The players' names between polls, on a private bus with fake MPRIS players.
#include "FakeMprisPlayer.h"
#include "PrivateBus.h"
#include "QtTestSupport.h"

#include "platform/mpris/MprisBusNames.h"

#include <gtest/gtest.h>

namespace {

const QString vlc = QStringLiteral("org.mpris.MediaPlayer2.vlc");
const QString mpv = QStringLiteral("org.mpris.MediaPlayer2.mpv");

class BusNames : public ::testing::Test {
protected:
    QStringList names()
    {
        const auto listed = watched.names(1000);
        return std::holds_alternative<QStringList>(listed) ? std::get<QStringList>(listed) : QStringList{"failed"};
    }

    PrivateBus bus{PrivateBus::session};
    MprisBusNames watched{bus.connect(QStringLiteral("bus-names"))};
};

TEST_F(BusNames, PlayersComingAndGoingAreFollowedBetweenPolls)
{
    EXPECT_TRUE(names().isEmpty());
    auto first = std::make_unique<FakeMprisPlayer>(vlc);
    ASSERT_TRUE(first->isReady());
    EXPECT_EQ(names(), QStringList{vlc}) << "listed afresh while none is known, with no event delivered yet";
    FakeMprisPlayer second(mpv);
    ASSERT_TRUE(second.isReady());
    EXPECT_TRUE(waitFor([&] { return names() == QStringList({mpv, vlc}); })) << "sorted, both";
    first.reset();
    EXPECT_TRUE(waitFor([&] { return names() == QStringList{mpv}; }));
    FakeMprisPlayer bare(QStringLiteral("org.mpris.MediaPlayer2"));  // the namespace itself, neither seen nor listed
    for (int poll = 0; poll <= MprisBusNames::pollsBetweenListings; ++poll) {
        runEventLoopFor(std::chrono::milliseconds(10));
        ASSERT_EQ(names(), QStringList{mpv}) << "poll " << poll;
    }
}

}  // namespace
