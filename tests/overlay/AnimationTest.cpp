#include "overlay/IconMotion.h"
#include "overlay/StackAnimation.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {

constexpr Spring shipSpring{0.25, 0.7};

// Velocity is the derivative of the value, acceleration obeys x'' = −k (x − target) − c x', and
// running for t1 then on for t2 is running for t1 + t2; in every damping regime.
TEST(Spring, ObeysItsEquationOfMotionAndContinuesSeamlessly)
{
    for (const Spring spring : {Spring{0.25, 0.7}, Spring{0.3, 0.25}, Spring{0.28, 1.0}, Spring{0.4, 1.8}, Spring{0.3, 0.0}}) {
        const double h = 1e-6;
        for (double t : {0.01, 0.05, 0.13, 0.4}) {
            const SpringState before = spring.state(-2, 5, 3, t - h), now = spring.state(-2, 5, 3, t),
                              after = spring.state(-2, 5, 3, t + h);
            EXPECT_NEAR((after.value - before.value) / (2 * h), now.velocity, 1e-4);
            const double acceleration = (after.velocity - before.velocity) / (2 * h);
            EXPECT_NEAR(acceleration, -spring.stiffness() * (now.value - 5) - spring.damping() * now.velocity,
                        1e-2 * std::max(1.0, std::abs(acceleration)));
        }
        const SpringState middle = spring.state(0, 1, -2, 0.07);
        const SpringState split = spring.state(middle.value, 1, middle.velocity, 0.11);
        EXPECT_NEAR(split.value, spring.state(0, 1, -2, 0.18).value, 1e-12);
        EXPECT_NEAR(split.velocity, spring.state(0, 1, -2, 0.18).velocity, 1e-10);
    }
}

TEST(Spring, StartsWhereItIsOvershootsOnlyBelowCriticalAndSettles)
{
    EXPECT_NEAR(shipSpring.stiffness(), 631.6546816697189, 1e-9);  // (2π / 0.25)²
    EXPECT_NEAR(shipSpring.damping(), 35.18583772020568, 1e-9);    // 4π × 0.7 / 0.25
    EXPECT_TRUE(shipSpring.state(10, 20, 4, 0).value == 10 && shipSpring.state(10, 20, 4, 0).velocity == 4);
    EXPECT_NEAR(shipSpring.state(10, 20, 4, 1.0).value, 20, 1e-5);
    EXPECT_EQ(shipSpring.state(10, 20, 4, 1e6).value, 20);
    // The first peak at π / ωd overshoots by e^(−zπ/√(1−z²)), 4.6 % for z = 0.7.
    EXPECT_NEAR(shipSpring.state(0, 1, 0, 0.17503501050350126).value, 1.04598791026026775, 1e-9);
    for (const Spring spring : {Spring{0.25, 1.0}, Spring{0.25, 1.0 + 5e-7}, Spring{0.25, 2.5}}) {
        for (double t = 0; t < 3.0; t += 0.0005)
            ASSERT_LE(spring.state(0, 1, 0, t).value, 1.0) << t;
    }
    EXPECT_GT(Spring(0.25, 1.0).state(0, 1, 0, 0.25).value, 0.9);
    EXPECT_TRUE(Spring(0, 0.7).state(3, 8, 1, 0.1).value == 8 && Spring(NAN, 0.7).state(3, 8, 1, 0.1).value == 8);
    EXPECT_EQ(shipSpring.state(3, 8, 1, NAN).value, 3);
    EXPECT_LE(std::abs(Spring(0.25, -1).state(0, 1, 0, 10.0).value - 1), 1.0 + 1e-9);  // never gains energy
}

TEST(SpringMotion, RetargetingMidFlightKeepsPositionAndVelocity)
{
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

TEST(IconMotion, AnEmojiSwingsInPastZeroAndASymbolWigglesOnce)
{
    using Kind = WordVisual::Kind;
    EXPECT_NEAR(icon_motion::turn(Kind::emoji, 0), -14.0 * std::numbers::pi / 180, 1e-12);
    double most = -1;
    for (double age = 0; age < 1; age += 0.005)
        most = std::max(most, icon_motion::turn(Kind::emoji, age));
    EXPECT_GT(most, 0.5 * std::numbers::pi / 180);
    EXPECT_TRUE(icon_motion::isMoving(Kind::emoji, 0.2) && !icon_motion::isMoving(Kind::emoji, 3));
    EXPECT_NEAR(icon_motion::turn(Kind::emoji, 3), 0, 1e-3);
    EXPECT_DOUBLE_EQ(icon_motion::turn(Kind::symbol, 0), 0);
    bool turned[2] = {false, false};
    for (double age = 0; age < 0.6; age += 0.01) {
        const double turn = icon_motion::turn(Kind::symbol, age);
        turned[turn > 0 ? 0 : 1] |= std::abs(turn) > 0.02;
    }
    EXPECT_TRUE(turned[0] && turned[1]);
    EXPECT_FALSE(icon_motion::isMoving(Kind::symbol, 0.6));
    EXPECT_DOUBLE_EQ(icon_motion::turn(Kind::symbol, 0.6), 0);
}

// Rows are 100 × 40 about `centre`, at the ship spring and insertion scale 0.3.
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

const RowPose* poseOf(const QList<RowPose>& poses, double start)
{
    const auto found = std::find_if(poses.begin(), poses.end(), [start](const RowPose& pose) { return pose.look.start == start; });
    return found == poses.end() ? nullptr : &*found;
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
    EXPECT_EQ(poseOf(animation.poses(2), 11), nullptr);  // enters from nothing...
    EXPECT_DOUBLE_EQ(poseOf(animation.poses(2), 10)->centre.y(), 100);
    const RowPose* entering = poseOf(animation.poses(2 + 1.0 / 60), 11);
    ASSERT_NE(entering, nullptr);
    EXPECT_TRUE(entering->scale > 0.3 && entering->scale < 0.5 && entering->opacity < 0.3);  // ...from the insertion scale
    const double gliding = poseOf(animation.poses(2.1), 10)->centre.y();
    EXPECT_TRUE(gliding > 60 && gliding < 100) << gliding;
    EXPECT_FALSE(animation.isSettled(2.1));
    hold(animation, next, 2, 4);
    EXPECT_NEAR(poseOf(animation.poses(4), 10)->centre.y(), 60, 0.1);
    EXPECT_NEAR(poseOf(animation.poses(4), 11)->scale * poseOf(animation.poses(4), 11)->opacity, 1, 1e-3);
    EXPECT_TRUE(animation.isSettled(4));

    const Frame slid = frameOf(1, {{11, {100, 60}, 40}, {12, {100, 140}, 40}});
    animation.follow(slid, 4);
    const auto poses = animation.poses(4.1);
    ASSERT_EQ(poses.first().look.start, 10);  // drawn under the rows that stay
    EXPECT_DOUBLE_EQ(poses.first().centre.y(), 60);
    EXPECT_TRUE(poses.first().scale < 1 && poses.first().scale > 0.2) << poses.first().scale;
    hold(animation, slid, 4, 6);
    EXPECT_EQ(poseOf(animation.poses(6), 10), nullptr);
    EXPECT_EQ(animation.poses(6).size(), 2);
}

TEST(StackAnimation, ANewLineOrLookFadesInWholeWhileTheOldOneFadesOut)
{
    for (const bool newLook : {false, true}) {
        StackAnimation animation;
        hold(animation, frameOf(1, {{10, {100, 100}, 40}}), 0, 2);
        const Frame next = newLook ? frameOf(1, {{10, {300, 100}, 40}}, LyricStyle::visual) : frameOf(2, {{20, {300, 100}, 40}});
        animation.follow(next, 2);
        auto poses = animation.poses(2.08);
        ASSERT_EQ(poses.size(), 2);
        EXPECT_DOUBLE_EQ(poses[0].centre.x(), 100);  // the old line under the new
        EXPECT_TRUE(poses[0].opacity > 0 && poses[0].opacity < 1 && poses[1].opacity > 0 && poses[1].opacity < 1);
        EXPECT_DOUBLE_EQ(poses[1].scale, 1);  // rows of a new line stand in place: only the line fades
        EXPECT_DOUBLE_EQ(poses[1].centre.x(), 300);
        hold(animation, next, 2, 4);
        poses = animation.poses(4);
        ASSERT_EQ(poses.size(), 1);
        EXPECT_DOUBLE_EQ(poses[0].centre.x(), 300);
    }
}

TEST(StackAnimation, AnEmptyBandLetsEverythingGo)
{
    StackAnimation animation;
    hold(animation, frameOf(1, {{10, {100, 100}, 40}, {11, {100, 140}, 40}}), 0, 2);
    hold(animation, frameOf(std::nullopt, {}), 2, 4);
    EXPECT_TRUE(animation.poses(4).isEmpty() && animation.isEmpty() && animation.isSettled(4));
}

// A short seek backwards brings back a word that had just left; a row that changes size scales
// smoothly, drawn from the new look at the old size to begin with.
TEST(StackAnimation, ARowThatComesBackOrChangesSizeIsTheSameRow)
{
    StackAnimation animation;
    const Frame both = frameOf(1, {{10, {100, 60}, 40}, {11, {100, 140}, 40}});
    hold(animation, both, 0, 2);
    animation.follow(frameOf(1, {{11, {100, 140}, 40}}), 2);
    hold(animation, both, 2.05, 4);
    ASSERT_EQ(animation.poses(4).size(), 2);
    EXPECT_NEAR(poseOf(animation.poses(4), 10)->opacity, 1, 1e-3);

    const Frame bigger = frameOf(1, {{10, {100, 60}, 80}, {11, {100, 140}, 40}});
    animation.follow(bigger, 4);
    EXPECT_NEAR(poseOf(animation.poses(4), 10)->scale, 0.5, 1e-9);
    EXPECT_GT(poseOf(animation.poses(4.1), 10)->scale, 0.5);
    hold(animation, bigger, 4, 6);
    EXPECT_NEAR(poseOf(animation.poses(6), 10)->scale, 1, 1e-3);
}

}  // namespace
