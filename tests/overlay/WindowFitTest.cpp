#include "overlay/FisheyeMapping.h"
#include "overlay/IconMotion.h"
#include "overlay/WindowFit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

const QRect reach(0, 250, 1920, 700);

TEST(WindowFit, GrowsAtOnceWithSlackAndNeverBeyondTheReach)
{
    WindowFit fit(reach, 1000);
    // Starts covering the whole reach, so the first frames are never cut.
    EXPECT_EQ(fit.current(), reach);
    // Something small for long enough: the window shrinks to it plus the slack.
    EXPECT_FALSE(fit.follow(QRectF(900, 500, 100, 50), 0).has_value());
    const auto shrunk = fit.follow(QRectF(900, 500, 100, 50), WindowFit::shrinkAfterSeconds + 0.01);
    ASSERT_TRUE(shrunk.has_value());
    EXPECT_EQ(*shrunk, QRect(840, 440, 220, 170));
    // Anything outside grows it at once, keeping what it had, clipped to the reach.
    const auto grown = fit.follow(QRectF(1800, 900, 200, 100), 2);
    ASSERT_TRUE(grown.has_value());
    EXPECT_TRUE(grown->contains(QRect(840, 440, 220, 170)));
    EXPECT_EQ(grown->right(), reach.right());
    EXPECT_EQ(grown->bottom(), reach.bottom());
}

TEST(WindowFit, ShrinksOnlyAfterStayingMuchSmallerForAWhile)
{
    WindowFit fit(reach, 1000);
    const QRectF small(900, 500, 100, 50);
    const QRectF large(100, 300, 1700, 600);
    EXPECT_FALSE(fit.follow(small, 0).has_value());
    EXPECT_FALSE(fit.follow(small, 1.0).has_value());
    // Something large in between starts the wait again.
    EXPECT_FALSE(fit.follow(large, 1.2).has_value());
    EXPECT_FALSE(fit.follow(small, 1.3).has_value());
    EXPECT_FALSE(fit.follow(small, 1.3 + WindowFit::shrinkAfterSeconds - 0.01).has_value());
    EXPECT_TRUE(fit.follow(small, 1.3 + WindowFit::shrinkAfterSeconds + 0.01).has_value());
}

TEST(WindowFit, NothingDrawnLeavesTheWindowAlone)
{
    WindowFit fit(reach, 1000);
    for (double t = 0; t < 5; t += 0.5)
        EXPECT_FALSE(fit.follow(QRectF(), t).has_value());
    EXPECT_FALSE(fit.follow(QRectF(5000, 5000, 10, 10), 6).has_value());  // wholly off the reach
    EXPECT_EQ(fit.current(), reach);
}

TEST(LensDestination, EverySamplingDestinationLiesInsideTheBounds)
{
    const QSizeF band(1920, 605);
    for (const QRectF source : {QRectF(700, 200, 500, 200), QRectF(0, 0, 300, 100), QRectF(900, 290, 120, 30),
                                QRectF(1500, 400, 420, 205)}) {
        const QRectF bounds = fisheye_lens::destinationBounds(band, source);
        EXPECT_TRUE(bounds.contains(source.intersected(QRectF(QPointF(0, 0), band))));
        for (double y = 0.5; y < band.height(); y += 7) {
            for (double x = 0.5; x < band.width(); x += 7) {
                if (source.contains(fisheye_lens::sourcePoint(band, QPointF(x, y)))) {
                    EXPECT_TRUE(bounds.contains(QPointF(x, y))) << x << "," << y;
                }
            }
        }
    }
}

TEST(LensDestination, MagnifiesTheMiddleButStaysTight)
{
    const QSizeF band(1000, 500);
    const QRectF middle(450, 225, 100, 50);
    const QRectF bounds = fisheye_lens::destinationBounds(band, middle);
    EXPECT_GT(bounds.width(), 100 * 1.5);  // the centre is magnified almost 1.8 times
    EXPECT_LT(bounds.width(), 100 * 1.9);
    EXPECT_TRUE(fisheye_lens::destinationBounds(band, QRectF()).isEmpty());
    EXPECT_TRUE(fisheye_lens::destinationBounds(QSizeF(0, 0), middle).isEmpty());
}

TEST(IconMotion, AnEmojiSwingsInFromFourteenDegreesPastZeroAndSettles)
{
    const double start = icon_motion::turn(WordVisual::Kind::emoji, 0);
    EXPECT_NEAR(start, -14.0 * std::numbers::pi / 180, 1e-12);
    double most = -1;
    for (double age = 0; age < 1; age += 0.005)
        most = std::max(most, icon_motion::turn(WordVisual::Kind::emoji, age));
    EXPECT_GT(most, 0.05 * std::numbers::pi / 180 * 10);  // a visible overshoot
    EXPECT_TRUE(icon_motion::isMoving(WordVisual::Kind::emoji, 0.2));
    EXPECT_FALSE(icon_motion::isMoving(WordVisual::Kind::emoji, 3));
    EXPECT_NEAR(icon_motion::turn(WordVisual::Kind::emoji, 3), 0, 1e-3);
}

TEST(IconMotion, ASymbolWigglesOnceAndThenStaysStill)
{
    EXPECT_DOUBLE_EQ(icon_motion::turn(WordVisual::Kind::symbol, 0), 0);
    bool turnedBothWays[2] = {false, false};
    for (double age = 0; age < 0.6; age += 0.01) {
        const double turn = icon_motion::turn(WordVisual::Kind::symbol, age);
        turnedBothWays[turn > 0 ? 0 : 1] |= std::abs(turn) > 0.02;
    }
    EXPECT_TRUE(turnedBothWays[0] && turnedBothWays[1]);
    EXPECT_FALSE(icon_motion::isMoving(WordVisual::Kind::symbol, 0.6));
    EXPECT_DOUBLE_EQ(icon_motion::turn(WordVisual::Kind::symbol, 0.6), 0);
}

}  // namespace
