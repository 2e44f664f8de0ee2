#include "settings/Color.h"
#include "settings/ColorConversion.h"
#include "SettingsTestSupport.h"
#include <limits>

using namespace Qt::StringLiterals;

namespace {
constexpr double byte = 1.0 / 255.0;

struct HexCase {
    const char* text;
    std::optional<Color> color;
};

class ColorFromHex : public ::testing::TestWithParam<HexCase> {};

TEST_P(ColorFromHex, Reads)
{
    const std::optional<Color> color = colorFromHex(QString::fromUtf8(GetParam().text));
    ASSERT_EQ(color.has_value(), GetParam().color.has_value()) << GetParam().text;
    if (color)
        expectColorNear(*color, *GetParam().color);
}

INSTANTIATE_TEST_SUITE_P(Forms, ColorFromHex,
                         ::testing::Values(HexCase{"#FF000080", Color{1, 0, 0, 128 * byte}},
                                           HexCase{"#11223344", Color{17 * byte, 34 * byte, 51 * byte, 68 * byte}},
                                           HexCase{"+FFFFFFF", Color{15 * byte, 1, 1, 1}},
                                           HexCase{"-0000000", Color{0, 0, 0, 0}}, HexCase{"#FF0000FF\n", std::nullopt},
                                           HexCase{"#FF0000FF0", std::nullopt}, HexCase{"#FF00ZZFF", std::nullopt},
                                           HexCase{"##FF0000F", std::nullopt}, HexCase{"-0000001", std::nullopt},
                                           HexCase{"FF 000FF", std::nullopt}, HexCase{"", std::nullopt}));

TEST(Color, WritesHexRoundsClampsConvertsAndRoundTrips)
{
    EXPECT_EQ(colorHexString(Color::white(0.7)), u"#FFFFFFB3"_s);
    EXPECT_EQ(colorHexString(Color{0.5, 0, 0, 1}), u"#800000FF"_s);  // 127.5 -> 128
    EXPECT_EQ(colorHexString(Color{1.5, -0.2, 0.5, 2.0}), u"#FF0080FF"_s);
    EXPECT_EQ(colorHexString(Color{std::numeric_limits<double>::quiet_NaN(), 0, 0, 1}), u"#000000FF"_s);
    for (int v = 0; v < 256; ++v) {
        const QString hex = u"#%1%1%1%1"_s.arg(v, 2, 16, QLatin1Char('0')).toUpper();
        EXPECT_EQ(colorHexString(colorFromHex(hex).value_or(Color{})), hex);
    }
    EXPECT_DOUBLE_EQ(Color(0.5, 0.5, 0.5, 1).saturation(), 0.0);
    EXPECT_NEAR(Color(1, 0, 1, 1).hue(), 5.0 / 6.0, 1e-12);  // wraps past 1, as fromHsb would hide
    // Each maximum channel's branch of hue, and red's wrap past 1 when green < blue.
    for (const Color c :
         {Color{0.2, 0.6, 0.4, 1}, Color{0.9, 0.1, 0.3, 0.5}, Color{0.3, 0.3, 0.8, 1}, Color{1, 1, 0, 1}})
        expectColorNear(Color::fromHsb(c.hue(), c.saturation(), c.brightness(), c.alpha), c, 1e-12);
    expectColorNear(fromQColor(QColor::fromHsvF(0.0f, 1.0f, 1.0f, 0.5f)), Color{1, 0, 0, 0.5}, 1e-4);
    expectColorNear(fromQColor(QColor::fromCmykF(0, 0, 0, 1)), Color{0, 0, 0, 1}, 1e-4);
    expectColorNear(fromQColor(toQColor(Color{0.25, 0.5, 0.75, 0.7})), Color{0.25, 0.5, 0.75, 0.7}, 1e-4);
}
}  // namespace
