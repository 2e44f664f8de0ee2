#include "overlay/IconMotion.h"
#include "overlay/StackAnimation.h"
#include <gtest/gtest.h>
#include <numbers>

namespace {
constexpr Spring shipSpring{0.25, 0.7};

// In every damping regime: x' is the velocity, x'' = −k (x − target) − c x', and t1 then t2 is t1 + t2.
TEST(Spring, ObeysItsEquationOfMotionOvershootsOnlyBelowCriticalAndRetargetsSmoothly)
{
    for (const Spring spring :
         {Spring{0.25, 0.7}, Spring{0.3, 0.25}, Spring{0.28, 1.0}, Spring{0.4, 1.8}, Spring{0.3, 0.0}}) {
        for (double t : {0.01, 0.05, 0.13, 0.4}) {
            const SpringState before = spring.state(-2, 5, 3, t - 1e-6), now = spring.state(-2, 5, 3, t),
                              after = spring.state(-2, 5, 3, t + 1e-6);
            EXPECT_NEAR((after.value - before.value) / 2e-6, now.velocity, 1e-4);
            const double acceleration = (after.velocity - before.velocity) / 2e-6;
            EXPECT_NEAR(acceleration, -spring.stiffness() * (now.value - 5) - spring.damping() * now.velocity,
                        1e-2 * std::max(1.0, std::abs(acceleration)));
        }
        const SpringState middle = spring.state(0, 1, -2, 0.07),
                          split = spring.state(middle.value, 1, middle.velocity, 0.11);
        EXPECT_NEAR(split.value, spring.state(0, 1, -2, 0.18).value, 1e-12);
        EXPECT_NEAR(split.velocity, spring.state(0, 1, -2, 0.18).velocity, 1e-10);
    }
    // It starts where it is, overshoots only below critical, and settles.
    EXPECT_TRUE(shipSpring.state(10, 20, 4, 0).value == 10 && shipSpring.state(10, 20, 4, 0).velocity == 4);
    EXPECT_NEAR(shipSpring.state(10, 20, 4, 1.0).value, 20, 1e-5);
    EXPECT_EQ(shipSpring.state(10, 20, 4, 1e6).value, 20);
    // The first peak at π / ωd overshoots by e^(−zπ/√(1−z²)), 4.6 % for z = 0.7.
    EXPECT_NEAR(shipSpring.state(0, 1, 0, 0.17503501050350126).value, 1.04598791026026775, 1e-9);
    for (const Spring spring : {Spring{0.25, 1.0}, Spring{0.25, 1.0 + 5e-7}, Spring{0.25, 2.5}})
        for (double t = 0; t < 3.0; t += 0.0005)
            ASSERT_LE(spring.state(0, 1, 0, t).value, 1.0) << t;
    EXPECT_GT(Spring(0.25, 1.0).state(0, 1, 0, 0.25).value, 0.9);
    EXPECT_TRUE(Spring(0, 0.7).state(3, 8, 1, 0.1).value == 8 && Spring(NAN, 0.7).state(3, 8, 1, 0.1).value == 8);
    EXPECT_EQ(shipSpring.state(3, 8, 1, NAN).value, 3);
    EXPECT_LE(std::abs(Spring(0.25, -1).state(0, 1, 0, 10.0).value - 1), 1.0 + 1e-9);  // never gains energy
    // Retargeting mid flight keeps the position and the velocity.
    SpringMotion motion(shipSpring, 0, 100.0);
    EXPECT_TRUE(motion.isSettled(100.0, 1e-3));
    motion.retarget(1, 100.0);
    const SpringState inFlight = motion.at(100.05);
    ASSERT_GT(inFlight.velocity, 1.0);
    EXPECT_FALSE(motion.isSettled(100.05, 1e-3));
    motion.retarget(-1, 100.05);
    EXPECT_TRUE(motion.at(100.05).value == inFlight.value && motion.at(100.05).velocity == inFlight.velocity);
    EXPECT_GT(motion.at(100.06).value, inFlight.value);
    EXPECT_NEAR(motion.at(102.0).value, -1, 1e-6);
    EXPECT_TRUE(motion.isSettled(102.0, 1e-3));
}

TEST(IconMotion, StartsTurnedAndComesToRest)
{
    using Kind = WordVisual::Kind;
    EXPECT_NEAR(icon_motion::turn(Kind::emoji, 0), -14.0 * std::numbers::pi / 180, 1e-12);
    EXPECT_TRUE(icon_motion::isMoving(Kind::emoji, 0.2) && !icon_motion::isMoving(Kind::emoji, 3)
                && !icon_motion::isMoving(Kind::symbol, 0.6));
    EXPECT_NEAR(icon_motion::turn(Kind::emoji, 3), 0, 1e-3);
    EXPECT_TRUE(icon_motion::turn(Kind::symbol, 0) == 0 && icon_motion::turn(Kind::symbol, 0.6) == 0);
}

// Rows are 100 × 40 about their centres, on the frame's default spring and insertion scale 0.3.
Frame frameOf(std::optional<std::int64_t> line, std::initializer_list<std::tuple<double, QPointF, double>> rows,
              LyricStyle style = LyricStyle::ship)
{
    Frame frame;
    frame.style = style;
    frame.line = line;
    for (const auto& [start, centre, pointSize] : rows) {
        FrameRow row;
        row.start = start;
        row.pointSize = pointSize;
        row.box = QRectF(centre - QPointF(50, 20), QSizeF(100, 40));
        frame.rows.append(row);
    }
    return frame;
}

std::optional<RowPose> poseOf(const StackAnimation& animation, double time, double start)
{
    for (const RowPose& pose : animation.poses(time))
        if (pose.look.start == start)
            return pose;
    return std::nullopt;
}

// Plays frames at 60 a second from `from` to `to`, always showing `frame`.
void hold(StackAnimation& animation, const Frame& frame, double from, double to)
{
    for (double t = from; t <= to; t += 1.0 / 60)
        animation.follow(frame, t);
}

TEST(StackAnimation, ANewWordGrowsInWhileOthersGlideAndALeavingOneShrinksAwayInPlace)
{
    StackAnimation animation;
    hold(animation, frameOf(1, {{10, {100, 100}, 40}}), 0, 2);
    ASSERT_TRUE(animation.isSettled(2));
    const Frame next = frameOf(1, {{10, {100, 60}, 40}, {11, {100, 140}, 40}});
    animation.follow(next, 2);
    EXPECT_FALSE(poseOf(animation, 2, 11));  // enters from nothing, growing from the insertion scale
    EXPECT_DOUBLE_EQ(poseOf(animation, 2, 10)->centre.y(), 100);
    const RowPose entering = poseOf(animation, 2 + 1.0 / 60, 11).value();
    EXPECT_TRUE(entering.scale > 0.3 && entering.scale < 0.5 && entering.opacity < 0.3) << entering.scale;
    const double gliding = poseOf(animation, 2.1, 10)->centre.y();
    EXPECT_TRUE(gliding > 60 && gliding < 100 && !animation.isSettled(2.1)) << gliding;
    hold(animation, next, 2, 4);
    EXPECT_NEAR(poseOf(animation, 4, 10)->centre.y(), 60, 0.1);
    EXPECT_NEAR(poseOf(animation, 4, 11)->scale * poseOf(animation, 4, 11)->opacity, 1, 1e-3);
    EXPECT_TRUE(animation.isSettled(4));

    const Frame slid = frameOf(1, {{11, {100, 60}, 40}, {12, {100, 140}, 40}});
    animation.follow(slid, 4);
    const RowPose leaving = animation.poses(4.1).first();  // drawn under the rows that stay
    EXPECT_EQ(leaving.look.start, 10);
    EXPECT_DOUBLE_EQ(leaving.centre.y(), 60);
    EXPECT_TRUE(leaving.scale < 1 && leaving.scale > 0.2) << leaving.scale;
    hold(animation, slid, 4, 6);
    EXPECT_EQ(animation.poses(6).size(), 2);
}

TEST(StackAnimation, ANewLineOrLookFadesInWholeWhileTheOldOneFadesOut)
{
    for (const bool newLook : {false, true}) {
        StackAnimation animation;
        hold(animation, frameOf(1, {{10, {100, 100}, 40}}), 0, 2);
        const Frame next = newLook ? frameOf(1, {{10, {300, 100}, 40}}, LyricStyle::visual)
                                   : frameOf(2, {{20, {300, 100}, 40}});
        animation.follow(next, 2);
        const auto poses = animation.poses(2.08);
        ASSERT_EQ(poses.size(), 2);
        EXPECT_DOUBLE_EQ(poses[0].centre.x(), 100);  // the old line under the new
        EXPECT_TRUE(poses[0].opacity > 0 && poses[0].opacity < 1 && poses[1].opacity > 0 && poses[1].opacity < 1);
        EXPECT_TRUE(poses[1].scale == 1 && poses[1].centre.x() == 300);  // only the line fades
        hold(animation, next, 2, 4);
        ASSERT_EQ(animation.poses(4).size(), 1);
        EXPECT_DOUBLE_EQ(animation.poses(4)[0].centre.x(), 300);
    }
    StackAnimation emptied;
    hold(emptied, frameOf(1, {{10, {100, 100}, 40}, {11, {100, 140}, 40}}), 0, 2);
    hold(emptied, frameOf(std::nullopt, {}), 2, 4);
    EXPECT_TRUE(emptied.poses(4).isEmpty() && emptied.isEmpty() && emptied.isSettled(4));
}

// A short seek back brings back a word that just left; a row changing size scales smoothly from its old size.
TEST(StackAnimation, ARowThatComesBackOrChangesSizeIsTheSameRow)
{
    StackAnimation animation;
    const Frame both = frameOf(1, {{10, {100, 60}, 40}, {11, {100, 140}, 40}});
    hold(animation, both, 0, 2);
    animation.follow(frameOf(1, {{11, {100, 140}, 40}}), 2);
    hold(animation, both, 2.05, 4);
    EXPECT_EQ(animation.poses(4).size(), 2);
    EXPECT_NEAR(poseOf(animation, 4, 10)->opacity, 1, 1e-3);
    const Frame bigger = frameOf(1, {{10, {100, 60}, 80}, {11, {100, 140}, 40}});
    animation.follow(bigger, 4);
    EXPECT_NEAR(poseOf(animation, 4, 10)->scale, 0.5, 1e-9);
    EXPECT_GT(poseOf(animation, 4.1, 10)->scale, 0.5);
    hold(animation, bigger, 4, 6);
    EXPECT_NEAR(poseOf(animation, 6, 10)->scale, 1, 1e-3);
}
}  // namespace
