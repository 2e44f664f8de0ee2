#include "overlay/FisheyeMapping.h"
#include "overlay/StyleTraits.h"
#include "overlay/SwayTransform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

using fisheye_lens::sourcePoint;

TEST(FisheyeLens, MagnifiesTheMiddle)
{
    // (110, 50) in a 200 × 100 band is 0.1 half-widths out: it samples from
    // 0.1 × (1 − 0.45 × 0.9^2.2) = 0.06431 half-widths out, nearer the centre.
    const QPointF source = sourcePoint({200, 100}, {110, 50});
    EXPECT_NEAR(source.x(), 106.43100421919424, 1e-9);
    EXPECT_NEAR(source.y(), 50, 1e-12);
    EXPECT_EQ(sourcePoint({200, 100}, {100, 50}), QPointF(100, 50));
}

TEST(FisheyeLens, LeavesTheRimAndOutsideUntouched)
{
    for (const QPointF point : {QPointF(200, 50), QPointF(100, 0), QPointF(0, 0), QPointF(-30, 400)})
        EXPECT_EQ(sourcePoint({200, 100}, point), point);
}

TEST(FisheyeLens, NeverFoldsAlongARay)
{
    double previous = 0;
    for (int step = 1; step <= 1000; ++step) {
        const double x = 100 + step * 0.1;
        const double source = sourcePoint({200, 100}, {x, 50}).x() - 100;
        ASSERT_GT(source, previous) << "at " << x;
        previous = source;
    }
}

struct LensCase {
    const char* name;
    QSizeF size;
    double strength;
    double falloff;
};

class FisheyeReach : public ::testing::TestWithParam<LensCase> {};

// The compositor is promised that no sample lies further than 0.45 of the band along either axis.
TEST_P(FisheyeReach, StaysWithinTheDeclaredOffset)
{
    const QSizeF size = GetParam().size;
    for (int i = -10; i <= 110; ++i) {
        for (int j = -10; j <= 110; ++j) {
            const QPointF destination(size.width() * i / 100.0, size.height() * j / 100.0);
            const QPointF source = sourcePoint(size, destination, GetParam().strength, GetParam().falloff);
            ASSERT_TRUE(std::isfinite(source.x()) && std::isfinite(source.y()));
            ASSERT_LE(std::abs(source.x() - destination.x()), 0.45 * size.width() + 1e-9);
            ASSERT_LE(std::abs(source.y() - destination.y()), 0.45 * size.height() + 1e-9);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bands, FisheyeReach,
    ::testing::Values(LensCase{"full_hd_band", {1920, 604.8}, 0.45, 2.2},
                      LensCase{"one_point_tall", {1000, 1}, 0.45, 2.2},
                      LensCase{"one_point_wide", {1, 1000}, 0.45, 2.2},
                      LensCase{"below_a_point", {0.5, 0.25}, 0.45, 2.2},
                      LensCase{"no_area", {0, 0}, 0.45, 2.2},
                      LensCase{"overstrong_lens_is_clamped", {800, 300}, 3.0, 0.3},
                      LensCase{"inverted_lens_is_clamped", {800, 300}, -4.0, 2.2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FisheyeLens, PointsThatAreNotNumbersComeBackUnchanged)
{
    const QPointF source = sourcePoint({200, 100}, {NAN, 50});
    EXPECT_TRUE(std::isnan(source.x()));
    EXPECT_EQ(source.y(), 50);
}

struct SwayCase {
    const char* name;
    LyricStyle style;
    double amplitude;
};

class SwayAmplitude : public ::testing::TestWithParam<SwayCase> {};

// Each term peaks where its own sine is 1: T = π / (2 × its rate).
TEST_P(SwayAmplitude, ScalesEveryTerm)
{
    const double a = GetParam().amplitude;
    ASSERT_EQ(styleTraits(GetParam().style).swayAmplitude, a);
    const QSizeF band(1000, 500);
    EXPECT_NEAR(swayAt(std::numbers::pi / 0.7, a, band).yaw, 16 * a * std::numbers::pi / 180, 1e-12);
    EXPECT_NEAR(swayAt(std::numbers::pi / 0.44, a, band).pitch, 7 * a * std::numbers::pi / 180, 1e-12);
    EXPECT_NEAR(swayAt(std::numbers::pi / 0.34, a, band).scale, 1 + 0.035 * a, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Styles, SwayAmplitude,
                         ::testing::Values(SwayCase{"ship_full", LyricStyle::ship, 1.0},
                                           SwayCase{"visual_half", LyricStyle::visual, 0.5},
                                           SwayCase{"fisheye_still", LyricStyle::fisheye, 0.0},
                                           SwayCase{"fisheye_visual_still", LyricStyle::fisheyeVisual, 0.0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Sway, StillBandMapsEveryPointToItself)
{
    const QTransform still = swayAt(12345.6, 0.0, {1000, 500}).transform();
    EXPECT_EQ(still.map(QPointF(13, 480)), QPointF(13, 480));
}

// A 16° turn of a 1000 × 500 band seen from 1000 / 0.45: the right edge's middle comes toward the
// viewer, x = 500 cos 16° / (1 + 500 sin 16° / 2222.2) + 500 = 952.56; the left edge recedes to
// −12.41, further out than the right edge came in.
TEST(Sway, TurnIsSeenInPerspective)
{
    Sway sway = swayAt(0, 0, {1000, 500});
    sway.yaw = 16 * std::numbers::pi / 180;
    const QTransform turned = sway.transform();
    EXPECT_NEAR(turned.map(QPointF(1000, 250)).x(), 952.5635767513252, 1e-9);
    EXPECT_NEAR(turned.map(QPointF(0, 250)).x(), -12.409678997274796, 1e-9);
    EXPECT_NEAR(turned.map(QPointF(500, 250)).x(), 500, 1e-9);
}

TEST(Sway, AllTermsKeepTheCentreInPlace)
{
    const Sway sway = swayAt(7.0, 1.0, {1920, 604.8});
    ASSERT_NE(sway.yaw, 0);
    ASSERT_NE(sway.pitch, 0);
    const QPointF centre = sway.transform().map(QPointF(960, 302.4));
    EXPECT_NEAR(centre.x(), 960, 1e-9);
    EXPECT_NEAR(centre.y(), 302.4, 1e-9);
}

TEST(Sway, AFrameTimeThatIsNotANumberHoldsStill)
{
    const Sway sway = swayAt(NAN, 1.0, {1000, 500});
    EXPECT_EQ(sway.yaw, 0);
    EXPECT_EQ(sway.pitch, 0);
    EXPECT_EQ(sway.scale, 1);
}

}  // namespace

namespace {

TEST(SwayReach, HoldsTheBandAtEveryMomentOfItsSway)
{
    const QSizeF band(1920, 605);
    const QRectF reach = swayReach(band, 1.0);
    EXPECT_TRUE(reach.contains(QRectF(QPointF(0, 0), band)));
    EXPECT_GT(reach.height(), band.height());  // the near edge grows past the band
    for (double t = 0; t < 200; t += 0.37) {
        const QRectF swayed = swayAt(t, 1.0, band).transform().mapRect(QRectF(QPointF(0, 0), band));
        EXPECT_TRUE(reach.adjusted(-0.5, -0.5, 0.5, 0.5).contains(swayed)) << "at T = " << t;
    }
}

TEST(SwayReach, IsTheBandItselfWhenTheBandStandsStill)
{
    EXPECT_EQ(swayReach(QSizeF(800, 300), 0.0), QRectF(0, 0, 800, 300));
}

}  // namespace
