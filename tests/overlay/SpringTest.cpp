#include "overlay/Spring.h"
#include "overlay/SpringMotion.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr Spring shipSpring{0.25, 0.7};

double peakOf(const Spring& spring, double from, double target)
{
    double peak = from;
    for (double t = 0; t < 3.0; t += 0.0005)
        peak = std::max(peak, spring.state(from, target, 0, t).value);
    return peak;
}

TEST(Spring, StiffnessAndDampingFollowResponseAndFraction)
{
    // (2π / 0.25)² and 4π × 0.7 / 0.25
    EXPECT_NEAR(shipSpring.stiffness(), 631.6546816697189, 1e-9);
    EXPECT_NEAR(shipSpring.damping(), 35.18583772020568, 1e-9);
}

// The returned velocity is the derivative of the value, and the acceleration obeys the spring's
// force law: x'' = −k (x − target) − c x'.
TEST(Spring, ObeysItsEquationOfMotion)
{
    for (const Spring spring : {Spring{0.25, 0.7}, Spring{0.3, 0.25}, Spring{0.28, 1.0}, Spring{0.4, 1.8}}) {
        const double h = 1e-6;
        for (double t : {0.01, 0.05, 0.13, 0.4}) {
            const SpringState before = spring.state(-2, 5, 3, t - h);
            const SpringState now = spring.state(-2, 5, 3, t);
            const SpringState after = spring.state(-2, 5, 3, t + h);
            EXPECT_NEAR((after.value - before.value) / (2 * h), now.velocity, 1e-4);
            const double acceleration = (after.velocity - before.velocity) / (2 * h);
            EXPECT_NEAR(acceleration, -spring.stiffness() * (now.value - 5) - spring.damping() * now.velocity,
                        1e-2 * std::max(1.0, std::abs(acceleration)));
        }
    }
}

TEST(Spring, StartsWhereItIsAndSettlesOnTheTarget)
{
    const SpringState start = shipSpring.state(10, 20, 4, 0);
    EXPECT_EQ(start.value, 10);
    EXPECT_EQ(start.velocity, 4);
    const SpringState later = shipSpring.state(10, 20, 4, 1.0);  // e^(−17.6) of the way left
    EXPECT_NEAR(later.value, 20, 1e-5);
    EXPECT_NEAR(later.velocity, 0, 1e-4);
    const SpringState muchLater = shipSpring.state(10, 20, 4, 1e6);
    EXPECT_EQ(muchLater.value, 20);
}

// Underdamped: the first peak comes at π / ωd with an overshoot of e^(−zπ/√(1−z²)), 4.6 % for z = 0.7.
TEST(Spring, OvershootsBelowCriticalDamping)
{
    const SpringState peak = shipSpring.state(0, 1, 0, 0.17503501050350126);
    EXPECT_NEAR(peak.value, 1.04598791026026775, 1e-9);
    EXPECT_NEAR(peak.velocity, 0, 1e-9);
}

TEST(Spring, NeverOvershootsAtOrAboveCriticalDamping)
{
    EXPECT_LE(peakOf(Spring{0.25, 1.0}, 0, 1), 1.0);
    EXPECT_LE(peakOf(Spring{0.25, 1.0 + 5e-7}, 0, 1), 1.0);
    EXPECT_LE(peakOf(Spring{0.25, 2.5}, 0, 1), 1.0);
    EXPECT_GT(Spring(0.25, 1.0).state(0, 1, 0, 0.25).value, 0.9);  // and still arrives
}

// Running for t1 and then from there for t2 is the same as running for t1 + t2.
TEST(Spring, ContinuingFromAnIntermediateStateChangesNothing)
{
    for (const Spring spring : {Spring{0.25, 0.7}, Spring{0.3, 1.0}, Spring{0.2, 3.0}, Spring{0.3, 0.0}}) {
        const SpringState middle = spring.state(0, 1, -2, 0.07);
        const SpringState split = spring.state(middle.value, 1, middle.velocity, 0.11);
        const SpringState whole = spring.state(0, 1, -2, 0.18);
        EXPECT_NEAR(split.value, whole.value, 1e-12);
        EXPECT_NEAR(split.velocity, whole.velocity, 1e-10);
    }
}

TEST(Spring, MeaninglessParametersNeitherBlowUpNorGainEnergy)
{
    EXPECT_EQ(Spring(0, 0.7).state(3, 8, 1, 0.1).value, 8);
    EXPECT_EQ(Spring(NAN, 0.7).state(3, 8, 1, 0.1).value, 8);
    EXPECT_EQ(Spring(0.25, 0.7).state(3, 8, 1, NAN).value, 3);
    const SpringState undamped = Spring(0.25, -1).state(0, 1, 0, 10.0);
    EXPECT_LE(std::abs(undamped.value - 1), 1.0 + 1e-9);  // treated as undamped, never growing
}

TEST(SpringMotion, RetargetingMidFlightKeepsPositionAndVelocity)
{
    SpringMotion motion(shipSpring, 0, 100.0);
    motion.retarget(1, 100.0);
    const SpringState inFlight = motion.at(100.05);
    ASSERT_GT(inFlight.velocity, 1.0);

    motion.retarget(-1, 100.05);
    const SpringState afterTurn = motion.at(100.05);
    EXPECT_DOUBLE_EQ(afterTurn.value, inFlight.value);
    EXPECT_DOUBLE_EQ(afterTurn.velocity, inFlight.velocity);
    // Still carried on upward a moment later by its momentum, then heading for the new target.
    EXPECT_GT(motion.at(100.06).value, inFlight.value);
    EXPECT_NEAR(motion.at(102.0).value, -1, 1e-6);
}

TEST(SpringMotion, IsSettledOnlyOnceCloseAndSlow)
{
    SpringMotion motion(shipSpring, 0, 0.0);
    EXPECT_TRUE(motion.isSettled(0.0, 1e-3));
    motion.retarget(100, 0.0);
    EXPECT_FALSE(motion.isSettled(0.1, 1e-3));
    EXPECT_TRUE(motion.isSettled(2.0, 1e-3));
}

}  // namespace
