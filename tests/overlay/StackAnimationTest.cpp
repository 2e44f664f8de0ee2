#include "overlay/StackAnimation.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct RowSpec {
    double start;
    QPointF centre;
    double pointSize = 40;
};

Frame frameOf(std::optional<std::int64_t> line, std::initializer_list<RowSpec> rows,
              LyricStyle style = LyricStyle::ship)
{
    Frame frame;
    frame.style = style;
    frame.line = line;
    frame.lineSpring = Spring(0.25, 0.7);
    frame.insertionScale = 0.3;
    for (const RowSpec& spec : rows) {
        FrameRow row;
        row.text = QStringLiteral("w%1").arg(spec.start);
        row.start = spec.start;
        row.pointSize = spec.pointSize;
        row.box = QRectF(spec.centre - QPointF(50, 20), QSizeF(100, 40));
        frame.rows.append(row);
    }
    return frame;
}

const RowPose* poseOf(const QList<RowPose>& poses, double start)
{
    for (const RowPose& pose : poses) {
        if (pose.look.start == start)
            return &pose;
    }
    return nullptr;
}

// Plays frames at 60 a second from `from` to `to`, always showing `frame`.
void hold(StackAnimation& animation, const Frame& frame, double from, double to)
{
    for (double t = from; t <= to; t += 1.0 / 60)
        animation.follow(frame, t);
}

TEST(StackAnimation, ANewWordGrowsInFromTheInsertionScaleWhileOthersGlideToTheirNewPlace)
{
    StackAnimation animation;
    hold(animation, frameOf(1, {{10, {100, 100}}}), 0, 2);
    ASSERT_TRUE(animation.isSettled(2));

    const Frame next = frameOf(1, {{10, {100, 60}}, {11, {100, 140}}});
    animation.follow(next, 2);
    auto poses = animation.poses(2);
    EXPECT_EQ(poseOf(poses, 11), nullptr);  // enters from nothing...
    EXPECT_DOUBLE_EQ(poseOf(poses, 10)->centre.y(), 100);  // the old row starts where it was
    poses = animation.poses(2 + 1.0 / 60);
    ASSERT_NE(poseOf(poses, 11), nullptr);
    EXPECT_GT(poseOf(poses, 11)->scale, 0.3);  // ...growing from the insertion scale
    EXPECT_LT(poseOf(poses, 11)->scale, 0.5);
    EXPECT_LT(poseOf(poses, 11)->opacity, 0.3);

    poses = animation.poses(2.1);
    EXPECT_GT(poseOf(poses, 10)->centre.y(), 60);
    EXPECT_LT(poseOf(poses, 10)->centre.y(), 100);  // on its way, not jumped
    EXPECT_FALSE(animation.isSettled(2.1));

    hold(animation, next, 2, 4);
    poses = animation.poses(4);
    EXPECT_NEAR(poseOf(poses, 10)->centre.y(), 60, 0.1);
    EXPECT_NEAR(poseOf(poses, 11)->scale, 1, 1e-3);
    EXPECT_NEAR(poseOf(poses, 11)->opacity, 1, 1e-3);
    EXPECT_TRUE(animation.isSettled(4));
}

TEST(StackAnimation, ARowTheWindowLetsGoShrinksAwayInPlaceAndIsThenForgotten)
{
    StackAnimation animation;
    hold(animation, frameOf(1, {{10, {100, 60}}, {11, {100, 140}}}), 0, 2);
    const Frame slid = frameOf(1, {{11, {100, 60}}, {12, {100, 140}}});
    animation.follow(slid, 2);
    auto poses = animation.poses(2.1);
    const RowPose* leaving = poseOf(poses, 10);
    ASSERT_NE(leaving, nullptr);
    EXPECT_DOUBLE_EQ(leaving->centre.y(), 60);  // stays where it was while it goes
    EXPECT_LT(leaving->scale, 1);
    EXPECT_GT(leaving->scale, 0.3 - 0.1);
    EXPECT_EQ(poses.first().look.start, 10);  // drawn under the rows that stay

    hold(animation, slid, 2, 4);
    EXPECT_EQ(poseOf(animation.poses(4), 10), nullptr);
    EXPECT_EQ(animation.poses(4).size(), 2);
}

TEST(StackAnimation, ANewLineFadesInWholeWhileTheOldOneFadesOut)
{
    StackAnimation animation;
    hold(animation, frameOf(1, {{10, {100, 100}}}), 0, 2);
    const Frame nextLine = frameOf(2, {{20, {300, 100}}});
    animation.follow(nextLine, 2);
    auto poses = animation.poses(2.08);
    ASSERT_EQ(poses.size(), 2);
    EXPECT_EQ(poses[0].look.start, 10);  // the old line under the new
    EXPECT_GT(poses[0].opacity, 0);
    EXPECT_LT(poses[0].opacity, 1);
    EXPECT_GT(poses[1].opacity, 0);
    EXPECT_LT(poses[1].opacity, 1);
    // Rows of a new line stand in place at full size: only the line fades.
    EXPECT_DOUBLE_EQ(poses[1].scale, 1);
    EXPECT_DOUBLE_EQ(poses[1].centre.x(), 300);

    hold(animation, nextLine, 2, 4);
    poses = animation.poses(4);
    ASSERT_EQ(poses.size(), 1);
    EXPECT_EQ(poses[0].look.start, 20);
}

TEST(StackAnimation, SwitchingLooksOnTheSameLineRebuildsTheLine)
{
    StackAnimation animation;
    hold(animation, frameOf(1, {{10, {100, 100}}}, LyricStyle::ship), 0, 2);
    animation.follow(frameOf(1, {{10, {400, 100}}}, LyricStyle::visual), 2);
    const auto poses = animation.poses(2.05);
    ASSERT_EQ(poses.size(), 2);  // the ship row fading out, the visual row fading in
    EXPECT_DOUBLE_EQ(poses[1].centre.x(), 400);
}

TEST(StackAnimation, AnEmptyBandLetsEverythingGoAndThenIsSettledAndEmpty)
{
    StackAnimation animation;
    hold(animation, frameOf(1, {{10, {100, 100}}, {11, {100, 140}}}), 0, 2);
    hold(animation, frameOf(std::nullopt, {}), 2, 4);
    EXPECT_TRUE(animation.poses(4).isEmpty());
    EXPECT_TRUE(animation.isEmpty());
    EXPECT_TRUE(animation.isSettled(4));
}

TEST(StackAnimation, ARowThatComesBackWhileLeavingIsTheSameRowAgain)
{
    // A short seek backwards brings back a word that had just left.
    StackAnimation animation;
    const Frame both = frameOf(1, {{10, {100, 60}}, {11, {100, 140}}});
    hold(animation, both, 0, 2);
    animation.follow(frameOf(1, {{11, {100, 140}}}), 2);
    hold(animation, both, 2.05, 4);
    const auto poses = animation.poses(4);
    ASSERT_EQ(poses.size(), 2);
    EXPECT_NEAR(poseOf(poses, 10)->opacity, 1, 1e-3);
}

TEST(StackAnimation, ARowThatChangesSizeScalesSmoothlyToIt)
{
    StackAnimation animation;
    hold(animation, frameOf(1, {{10, {100, 100}, 40}}), 0, 2);
    const Frame bigger = frameOf(1, {{10, {100, 100}, 80}});
    animation.follow(bigger, 2);
    // Drawn from the new look, at the old size to begin with.
    EXPECT_NEAR(animation.poses(2).first().scale, 0.5, 1e-9);
    EXPECT_GT(animation.poses(2.1).first().scale, 0.5);
    hold(animation, bigger, 2, 4);
    EXPECT_NEAR(animation.poses(4).first().scale, 1, 1e-3);
}

}  // namespace
