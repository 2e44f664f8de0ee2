#include "app/cli/AppOptions.h"
#include <gtest/gtest.h>

namespace {

TEST(AppOptions, StyleNamesAreReadInAnyCaseAndSpelling)
{
    using Style = std::optional<LyricStyle>;
    for (const auto& [name, style] :
         {std::pair("Fisheye", Style(LyricStyle::fisheye)), std::pair("VISUAL", Style(LyricStyle::visual)),
          std::pair("fisheye-visual", Style(LyricStyle::fisheyeVisual)),
          std::pair("Fisheye Visual", Style(LyricStyle::fisheyeVisual)), std::pair("fish", Style()),
          std::pair("", Style()), std::pair("ship2", Style())})
        EXPECT_EQ(styleFromName(QString::fromUtf8(name)), style) << name;
}

TEST(AppOptions, AStillTakesItsPositionSizeBackgroundAndTrack)
{
    const auto parsed = parseAppOptions({"zuvik", "--render-frame", "out.png", "--at", "12.5", "--size", "8192x600",
                                         "--background", "#102030", "--artist", "A", "--title", "T", "--duration",
                                         "86400", "--style", "visual"});
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

TEST(AppOptions, BadOnesAreRefusedWithAMessage)
{
    const QStringList still{"zuvik", "--render-frame", "x.png", "--at"};
    const QStringList lines[] = {{"zuvik", "--render-frame", "x.png"},
                                 still + QStringList{"nan"},
                                 still + QStringList{"-0.5"},
                                 still + QStringList{"1", "--size", "1920"},
                                 still + QStringList{"1", "--size", "0x10"},
                                 still + QStringList{"1", "--size", "8193x10"},
                                 still + QStringList{"1", "--background", "nocolour"},
                                 still + QStringList{"1", "--artist", "A"},
                                 still + QStringList{"1", "--artist", "A", "--title", "T", "--duration", "0"},
                                 still + QStringList{"1", "--artist", "A", "--title", "T", "--duration", "86400.5"},
                                 {"zuvik", "--size", "100x100"}};
    for (const QStringList& line : lines) {
        const auto parsed = parseAppOptions(line);
        ASSERT_TRUE(std::holds_alternative<QString>(parsed)) << line.join(u' ').toStdString();
        EXPECT_FALSE(std::get<QString>(parsed).isEmpty());
    }
}

}  // namespace
