#include "app/DisplayIdentity.h"
#include <gtest/gtest.h>

namespace {

ScreenDescription screen(const char* connector, const char* maker, const char* model, const char* serial)
{
    return {QString::fromUtf8(connector), QString::fromUtf8(maker), QString::fromUtf8(model),
            QString::fromUtf8(serial)};
}

const ScreenDescription dell = screen("DP-1", "DEL", "U2720Q", "7XQ8K23");

TEST(DisplayId, FollowsAMonitorNotItsPortAndTellsTwinsApart)
{
    EXPECT_EQ(displayIdFor(screen("HDMI-A-1", "DEL", "U2720Q", "7XQ8K23")), displayIdFor(dell));
    EXPECT_NE(displayIdFor(screen("DP-1", "DEL", "U2720Q", "7XQ8K24")), displayIdFor(dell));
    // Without a serial the connector decides.
    EXPECT_NE(displayIdFor(screen("VIRTUAL-1", "", "", "")), displayIdFor(screen("VIRTUAL-2", "", "", "")));
    EXPECT_NE(displayIdFor(screen("X", "ab", "c", "s")), displayIdFor(screen("X", "a", "bc", "s")));
    // Stored in the settings: a change would switch users' disabled displays back on.
    // FNV-1a of "DEL\x1fU2720Q\x1f7XQ8K23", worked out separately.
    EXPECT_EQ(displayIdFor(dell), 3375790369u);
    EXPECT_NE(displayIdFor(ScreenDescription{}), 0u);
}

}  // namespace
