#include "overlay/StyleTraits.h"
#include "overlay/SwayTransform.h"
#include "overlay/WindowFit.h"
#include <gtest/gtest.h>
#include <numbers>

namespace {
// Each term peaks where its own sine is 1: T = π / (2 × its rate); the looks sway by 1, ½, 0, 0.
TEST(Sway, ScalesWithTheLooksAmplitudeTurnsInPerspectiveAndStaysInItsReach)
{
    const QSizeF band(1000, 500);
    for (const auto& [style, a] : {std::pair(LyricStyle::ship, 1.0), std::pair(LyricStyle::visual, 0.5),
                                   std::pair(LyricStyle::fisheye, 0.0), std::pair(LyricStyle::fisheyeVisual, 0.0)}) {
        ASSERT_EQ(styleTraits(style).swayAmplitude, a);
        EXPECT_NEAR(swayAt(std::numbers::pi / 0.7, a, band).yaw, 16 * a * std::numbers::pi / 180, 1e-12);
        EXPECT_NEAR(swayAt(std::numbers::pi / 0.44, a, band).pitch, 7 * a * std::numbers::pi / 180, 1e-12);
        EXPECT_NEAR(swayAt(std::numbers::pi / 0.34, a, band).scale, 1 + 0.035 * a, 1e-12);
    }
    EXPECT_EQ(swayAt(12345.6, 0.0, band).transform().map(QPointF(13, 480)), QPointF(13, 480));
    const Sway still = swayAt(NAN, 1.0, band);  // a frame time that is not a number holds still
    EXPECT_TRUE(still.yaw == 0 && still.pitch == 0 && still.scale == 1);
    // A 16° turn seen from 1000 / 0.45: x = 500 cos 16° / (1 + 500 sin 16° / 2222.2) + 500 at the right edge.
    Sway sway = swayAt(0, 0, {1000, 500});
    sway.yaw = 16 * std::numbers::pi / 180;
    EXPECT_NEAR(sway.transform().map(QPointF(1000, 250)).x(), 952.5635767513252, 1e-9);
    const Sway all = swayAt(7.0, 1.0, {1920, 604.8});
    ASSERT_TRUE(all.yaw != 0 && all.pitch != 0);
    EXPECT_NEAR((all.transform().map(QPointF(960, 302.4)) - QPointF(960, 302.4)).manhattanLength(), 0, 1e-9);
    // The reach holds the band at every moment of its sway.
    const QSizeF wide(1920, 605);
    const QRectF reach = swayReach(wide, 1.0);
    EXPECT_GT(reach.height(), wide.height());
    for (double t = 0; t < 200; t += 0.37) {
        const QRectF swayed = swayAt(t, 1.0, wide).transform().mapRect(QRectF(QPointF(0, 0), wide));
        ASSERT_TRUE(reach.adjusted(-0.5, -0.5, 0.5, 0.5).contains(swayed)) << t;
    }
    EXPECT_EQ(swayReach(QSizeF(800, 300), 0.0), QRectF(0, 0, 800, 300));
}

const QRect reach(0, 250, 1920, 700);

TEST(WindowFit, GrowsAtOnceWithSlackNeverBeyondTheReachAndShrinksLate)
{
    WindowFit fit(reach, 1000);
    EXPECT_EQ(fit.current(), reach);  // the first frames are never cut
    EXPECT_FALSE(fit.follow(QRectF(900, 500, 100, 50), 0).has_value());
    EXPECT_EQ(fit.follow(QRectF(900, 500, 100, 50), WindowFit::shrinkAfterSeconds + 0.01), QRect(840, 440, 220, 170));
    const auto grown = fit.follow(QRectF(1800, 900, 200, 100), 2);
    ASSERT_TRUE(grown.has_value());
    EXPECT_TRUE(grown->contains(QRect(840, 440, 220, 170)));
    EXPECT_EQ(grown->bottomRight(), reach.bottomRight());

    // It shrinks only after staying much smaller for a while, and ignores nothing.
    fit = WindowFit(reach, 1000);
    const QRectF small(900, 500, 100, 50);
    const std::pair<QRectF, double> frames[] = {{small, 0},
                                                {small, 1},
                                                {QRectF(100, 300, 1700, 600), 1.2} /* waits again */,
                                                {small, 1.3},
                                                {small, 1.3 + WindowFit::shrinkAfterSeconds - 0.01}};
    for (const auto& [drawn, time] : frames)
        EXPECT_FALSE(fit.follow(drawn, time)) << time;
    EXPECT_TRUE(fit.follow(small, 1.3 + WindowFit::shrinkAfterSeconds + 0.01).has_value());
    WindowFit idle(reach, 1000);
    EXPECT_FALSE(idle.follow(QRectF(), 0) || idle.follow(QRectF(), 5));
    EXPECT_FALSE(idle.follow(QRectF(5000, 5000, 10, 10), 6));  // wholly off the reach
    EXPECT_EQ(idle.current(), reach);
}
}  // namespace
