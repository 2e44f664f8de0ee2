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
    const StillRequest& s = *std::get<AppOptions>(parsed).still;
    EXPECT_EQ(std::tie(s.outputPath, s.at, s.size, s.background, s.artist, s.title, s.duration),
              std::tuple(QStringLiteral("out.png"), 12.5, QSize(8192, 600), QColor(0x10, 0x20, 0x30),
                         QStringLiteral("A"), QStringLiteral("T"), 86400.0));
    EXPECT_EQ(std::get<AppOptions>(parsed).style, LyricStyle::visual);
}

TEST(AppOptions, BadOnesAreRefusedWithAMessage)
{
    const QString still = QStringLiteral("--render-frame x.png --at ");
    for (const QString& line :
         {still.chopped(6), still + "nan", still + "-0.5", still + "1 --size 1920", still + "1 --size 0x10",
          still + "1 --size 8193x10", still + "1 --background nocolour", still + "1 --artist A",
          still + "1 --artist A --title T --duration 0", still + "1 --artist A --title T --duration 86400.5",
          QStringLiteral("--size 100x100")}) {
        const auto parsed = parseAppOptions(QStringList{"zuvik"} + line.split(u' '));
        ASSERT_TRUE(std::holds_alternative<QString>(parsed)) << line.toStdString();
        EXPECT_FALSE(std::get<QString>(parsed).isEmpty());
    }
}

}  // namespace
