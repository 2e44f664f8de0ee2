#include "app/DisplayIdentity.h"

#include <gtest/gtest.h>

namespace {

const ScreenDescription dell{QStringLiteral("DP-1"), QStringLiteral("DEL"), QStringLiteral("U2720Q"), QStringLiteral("7XQ8K23")};

TEST(DisplayId, FollowsAMonitorWithASerialFromPortToPort)
{
    ScreenDescription moved = dell;
    moved.connectorName = QStringLiteral("HDMI-A-1");
    EXPECT_EQ(displayIdFor(moved), displayIdFor(dell));
}

TEST(DisplayId, TellsTwoIdenticalMonitorsApartByTheirSerials)
{
    ScreenDescription twin = dell;
    twin.serialNumber = QStringLiteral("7XQ8K24");
    EXPECT_NE(displayIdFor(twin), displayIdFor(dell));
}

TEST(DisplayId, WithoutASerialTheConnectorDecides)
{
    const ScreenDescription a{QStringLiteral("VIRTUAL-1"), {}, {}, {}};
    const ScreenDescription b{QStringLiteral("VIRTUAL-2"), {}, {}, {}};
    EXPECT_NE(displayIdFor(a), displayIdFor(b));
    EXPECT_EQ(displayIdFor(a), displayIdFor(ScreenDescription{QStringLiteral("VIRTUAL-1"), {}, {}, {}}));
}

TEST(DisplayId, FieldBoundariesMatter)
{
    const ScreenDescription ab{QStringLiteral("X"), QStringLiteral("ab"), QStringLiteral("c"), QStringLiteral("s")};
    const ScreenDescription bc{QStringLiteral("X"), QStringLiteral("a"), QStringLiteral("bc"), QStringLiteral("s")};
    EXPECT_NE(displayIdFor(ab), displayIdFor(bc));
}

TEST(DisplayId, StaysTheSameAcrossVersions)
{
    // Stored in the settings: a change here would switch users' disabled displays back on.
    // FNV-1a of "DEL\x1fU2720Q\x1f7XQ8K23", worked out separately.
    EXPECT_EQ(displayIdFor(dell), 3375790369u);
    EXPECT_NE(displayIdFor(ScreenDescription{}), 0u);
}

}  // namespace
