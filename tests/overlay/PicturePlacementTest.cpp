#include "overlay/PicturePlacement.h"
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
struct Expected {
    bool icon;
    QPointF origin;  // where the picture's centre lands in the band
    double scale;  // of a unit step, rotation aside
    double opacity;
    bool moving = false;
};

// A row at (100, 50) turned 90°, half size, 0.8 opacity, its pictogram 60 right; a watermark at (500, 300).
// A presence below 0: there is none.
struct PlacementCase {
    const char* name;
    double iconPresence, iconAge;
    WordVisual::Kind kind;
    double watermarkPresence;
    QList<Expected> expected;
};
class Placement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(Placement, PutsEachPictureWhereItsRowAndArrivalSay)
{
    const PlacementCase& c = GetParam();
    RowPose pose{FrameRow(), QPointF(100, 50), 0.5, 0.8, c.iconAge, c.iconPresence};
    pose.look.box = QRectF(-40, -20, 80, 40);
    pose.look.tilt = M_PI / 2;
    if (c.iconPresence >= 0) {
        pose.look.iconSide = IconSide::after;
        pose.look.visual = c.kind == WordVisual::Kind::emoji ? WordVisual::emoji(u"x"_s)
                                                             : WordVisual::symbol(u"heart.fill"_s);
        pose.look.iconBox = QRectF(50, -10, 20, 20);
        pose.look.iconPointSize = 30;
    }
    Watermark mark;
    mark.centre = QPointF(500, 300);
    mark.pointSize = 200;
    const auto marks = c.watermarkPresence < 0 ? QList<WatermarkPose>()
                                               : QList<WatermarkPose>{{mark, c.watermarkPresence}};
    const QList<PlacedLook> placed = placeLooks({pose}, marks, LyricFont::didot, WordShadow{16, 4, 0.5}, 2.0);
    ASSERT_EQ(placed.size(), c.expected.size());
    for (qsizetype i = 0; i < placed.size(); ++i) {
        const Expected& e = c.expected[i];
        const QPointF origin = placed[i].transform.map(QPointF(0, 0));
        EXPECT_NEAR((origin - e.origin).manhattanLength(), 0, 1e-4) << i;
        EXPECT_NEAR(QLineF(origin, placed[i].transform.map(QPointF(1, 0))).length(), e.scale, 1e-5) << i;
        EXPECT_NEAR(placed[i].opacity, e.opacity, 1e-9) << i;
        EXPECT_EQ(placed[i].moving, e.moving) << i;
        ASSERT_EQ(std::holds_alternative<IconLook>(placed[i].look), e.icon) << i;
        if (const auto* row = std::get_if<SpriteLook>(&placed[i].look)) {
            EXPECT_TRUE(row->font == LyricFont::didot && row->shadow.radius == 16 && row->devicePixelRatio == 2);
        } else {
            const IconLook& icon = std::get<IconLook>(placed[i].look);
            const bool watermark = i == 0 && c.watermarkPresence > 0;  // casts no shadow
            EXPECT_EQ(std::make_pair(icon.pointSize, icon.shadow.radius),
                      watermark ? std::pair(200.0, 0.0) : std::pair(30.0, 16.0));
        }
    }
}

// Turned 90° at half size, the pictogram's 60 to the right lands 30 below the row's centre.
const Expected row{false, {100, 50}, 0.5, 0.8}, icon{true, {100, 80}, 0.5, 0.8};
using Kind = WordVisual::Kind;
INSTANTIATE_TEST_SUITE_P(
    Cases, Placement,
    ::testing::Values(
        PlacementCase{"a_row_alone", -1, 0, Kind::symbol, -1, {row}},
        PlacementCase{"a_settled_symbol_rides_on_its_row", 1, 10, Kind::symbol, -1, {row, icon}},
        PlacementCase{
            "arriving_grows_from_a_fifth", 0.5, 10, Kind::symbol, -1, {row, {true, {100, 80}, 0.5 * 0.6, 0.4, true}}},
        PlacementCase{"overshooting_arrival_held_at_full_size", 1.05, 10, Kind::symbol, -1, {row, icon}},
        PlacementCase{"not_yet_arrived_is_not_drawn", 0, 0, Kind::emoji, -1, {row}},
        PlacementCase{
            "swinging_emoji_is_still_moving", 1, 0.2, Kind::emoji, -1, {row, {true, {100, 80}, 0.5, 0.8, true}}},
        PlacementCase{
            "watermark_first_faded_by_presence", -1, 0, Kind::symbol, 0.5, {{true, {500, 300}, 1, 0.04}, row}},
        PlacementCase{
            "overshooting_watermark_keeps_its_opacity", -1, 0, Kind::symbol, 1.3, {{true, {500, 300}, 1, 0.08}, row}},
        PlacementCase{"faded_watermark_is_not_drawn", -1, 0, Kind::symbol, 0, {row}}),
    [](const auto& info) { return std::string(info.param.name); });
}  // namespace
