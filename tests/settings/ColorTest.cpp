#include "settings/Color.h"
#include "settings/ColorConversion.h"

#include "SettingsTestSupport.h"

#include <cmath>
#include <limits>

namespace {

struct HexCase {
    const char* name;
    const char* text;
    std::optional<Color> color;
};

class ColorFromHex : public ::testing::TestWithParam<HexCase> {};

TEST_P(ColorFromHex, Reads)
{
    const std::optional<Color> color = colorFromHex(QString::fromUtf8(GetParam().text));
    ASSERT_EQ(color.has_value(), GetParam().color.has_value());
    if (color)
        expectColorNear(*color, *GetParam().color);
}

constexpr double third = 1.0 / 255.0;

INSTANTIATE_TEST_SUITE_P(
    Forms, ColorFromHex,
    ::testing::Values(HexCase{"WithHash", "#FF000080", Color{1, 0, 0, 128 * third}},
                      HexCase{"LowerCaseTrimmedOfSpacesAndTabs", "  #ff000080\t", Color{1, 0, 0, 128 * third}},
                      HexCase{"WithoutHash", "FF0000FF", Color{1, 0, 0, 1}},
                      HexCase{"ChannelsInOrder", "#11223344", Color{17 * third, 34 * third, 51 * third, 68 * third}},
                      HexCase{"SixDigitsRefused", "#FF0000", std::nullopt},
                      HexCase{"TrailingLineBreakRefused", "#FF0000FF\n", std::nullopt},
                      HexCase{"NineDigitsRefused", "#FF0000FF0", std::nullopt},
                      HexCase{"JunkRefused", "#FF00ZZFF", std::nullopt},
                      HexCase{"TwoHashesRefused", "##FF0000F", std::nullopt},
                      HexCase{"PlusSignIsAccepted", "+FFFFFFF", Color{15 * third, 1, 1, 1}},
                      HexCase{"MinusSignOnlyForZero", "-0000000", Color{0, 0, 0, 0}},
                      HexCase{"NegativeRefused", "-0000001", std::nullopt},
                      HexCase{"InnerSpaceRefused", "FF 000FF", std::nullopt},
                      HexCase{"Empty", "", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

struct ToHexCase {
    const char* name;
    Color color;
    const char* hex;
};

class ColorHexString : public ::testing::TestWithParam<ToHexCase> {};

TEST_P(ColorHexString, Writes)
{
    EXPECT_EQ(colorHexString(GetParam().color), QString::fromUtf8(GetParam().hex));
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ColorHexString,
    ::testing::Values(ToHexCase{"OpaqueWhite", Color::white(), "#FFFFFFFF"},
                      ToHexCase{"WhiteAtPointSeven", Color::white(0.7), "#FFFFFFB3"},
                      ToHexCase{"HalfRoundsAwayFromZero", Color{0.5, 0, 0, 1}, "#800000FF"},  // 127.5 -> 128
                      ToHexCase{"UpperCase", Color{170 / 255.0, 187 / 255.0, 204 / 255.0, 221 / 255.0}, "#AABBCCDD"},
                      ToHexCase{"ExtendedRangeIsClamped", Color{1.5, -0.2, 0.5, 2.0}, "#FF0080FF"},
                      ToHexCase{"NotANumberIsZero", Color{std::numeric_limits<double>::quiet_NaN(), 0, 0, 1}, "#000000FF"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ColorHexRoundTrip, EveryByteSurvives)
{
    for (int v = 0; v < 256; ++v) {
        const QString hex = QStringLiteral("#%1%1%1%1").arg(v, 2, 16, QLatin1Char('0')).toUpper();
        const std::optional<Color> color = colorFromHex(hex);
        ASSERT_TRUE(color.has_value());
        EXPECT_EQ(colorHexString(*color), hex);
    }
}

TEST(ColorHsb, RoundTripsAndKnownValues)
{
    const Color red{1, 0, 0, 1};
    EXPECT_DOUBLE_EQ(red.hue(), 0.0);
    EXPECT_DOUBLE_EQ(red.saturation(), 1.0);
    EXPECT_DOUBLE_EQ(red.brightness(), 1.0);
    EXPECT_NEAR(Color(0, 0, 1, 1).hue(), 2.0 / 3.0, 1e-12);
    EXPECT_NEAR(Color(1, 0, 1, 1).hue(), 5.0 / 6.0, 1e-12);  // magenta: red is max, green < blue
    EXPECT_DOUBLE_EQ(Color(0.5, 0.5, 0.5, 1).saturation(), 0.0);
    for (const Color c : {Color{0.2, 0.6, 0.4, 1}, Color{0.9, 0.1, 0.3, 0.5}, Color{0.3, 0.3, 0.8, 1}, Color{1, 1, 0, 1}}) {
        expectColorNear(Color::fromHsb(c.hue(), c.saturation(), c.brightness(), c.alpha), c, 1e-12);
    }
}

TEST(ColorConversionQt, ConvertsOtherSpecsToSrgbFirst)
{
    expectColorNear(fromQColor(QColor::fromHsvF(0.0f, 1.0f, 1.0f, 0.5f)), Color{1, 0, 0, 0.5}, 1e-4);
    expectColorNear(fromQColor(QColor::fromCmykF(0, 0, 0, 1)), Color{0, 0, 0, 1}, 1e-4);
    expectColorNear(fromQColor(toQColor(Color{0.25, 0.5, 0.75, 0.7})), Color{0.25, 0.5, 0.75, 0.7}, 1e-4);
}

}  // namespace
