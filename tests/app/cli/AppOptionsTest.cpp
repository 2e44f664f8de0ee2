#include "app/cli/AppOptions.h"

#include <gtest/gtest.h>

namespace {

QStringList line(const std::vector<const char*>& words)
{
    QStringList arguments{QStringLiteral("zuvik")};
    for (const char* word : words)
        arguments.append(QString::fromUtf8(word));
    return arguments;
}

TEST(AppOptions, StyleNamesAreReadInAnyCaseAndSpelling)
{
    const std::pair<const char*, std::optional<LyricStyle>> names[] = {
        {"Fisheye", LyricStyle::fisheye}, {"VISUAL", LyricStyle::visual}, {"fisheye-visual", LyricStyle::fisheyeVisual},
        {"Fisheye Visual", LyricStyle::fisheyeVisual}, {"fish", std::nullopt}, {"", std::nullopt}, {"ship2", std::nullopt}};
    for (const auto& [name, style] : names)
        EXPECT_EQ(styleFromName(QString::fromUtf8(name)), style) << name;
}

TEST(AppOptions, AStillTakesItsPositionSizeBackgroundAndTrack)
{
    const auto parsed = parseAppOptions(line({"--render-frame", "out.png", "--at", "12.5", "--size", "8192x600",
                                              "--background", "#102030", "--artist", "A", "--title", "T",
                                              "--duration", "86400", "--style", "visual"}));
    ASSERT_TRUE(std::holds_alternative<AppOptions>(parsed)) << std::get<QString>(parsed).toStdString();
    const StillRequest& still = *std::get<AppOptions>(parsed).still;
    EXPECT_EQ(still.outputPath, QStringLiteral("out.png"));
    EXPECT_DOUBLE_EQ(still.at, 12.5);
    EXPECT_EQ(still.size, QSize(8192, 600));
    EXPECT_EQ(still.background, QColor(0x10, 0x20, 0x30));
    EXPECT_EQ(still.artist, QStringLiteral("A"));
    EXPECT_DOUBLE_EQ(still.duration, 86400);
    EXPECT_EQ(std::get<AppOptions>(parsed).style, LyricStyle::visual);
}

class BadOptions : public ::testing::TestWithParam<std::vector<const char*>> {};

TEST_P(BadOptions, AreRefusedWithAMessage)
{
    const auto parsed = parseAppOptions(line(GetParam()));
    ASSERT_TRUE(std::holds_alternative<QString>(parsed)) << line(GetParam()).join(u' ').toStdString();
    EXPECT_FALSE(std::get<QString>(parsed).isEmpty());
}

using Line = std::vector<const char*>;
INSTANTIATE_TEST_SUITE_P(
    Lines, BadOptions,
    ::testing::Values(Line{"--render-frame", "x.png"}, Line{"--render-frame", "x.png", "--at", "nan"},
                      Line{"--render-frame", "x.png", "--at", "-0.5"}, Line{"--render-frame", "x.png", "--at", "1", "--size", "1920"},
                      Line{"--render-frame", "x.png", "--at", "1", "--size", "0x10"},
                      Line{"--render-frame", "x.png", "--at", "1", "--size", "8193x10"},
                      Line{"--render-frame", "x.png", "--at", "1", "--background", "nocolour"},
                      Line{"--render-frame", "x.png", "--at", "1", "--artist", "A"},
                      Line{"--render-frame", "x.png", "--at", "1", "--artist", "A", "--title", "T", "--duration", "0"},
                      Line{"--render-frame", "x.png", "--at", "1", "--artist", "A", "--title", "T", "--duration", "86400.5"},
                      Line{"--size", "100x100"}, Line{"--style", "comic"}, Line{"frobnicate"}));

}  // namespace
