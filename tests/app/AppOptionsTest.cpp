#include "app/AppOptions.h"
#include "app/DemoTrack.h"

#include <gtest/gtest.h>

namespace {

QStringList line(std::initializer_list<const char*> words)
{
    QStringList arguments{QStringLiteral("zuvik")};
    for (const char* word : words)
        arguments.append(QString::fromUtf8(word));
    return arguments;
}

struct StyleName {
    const char* name;
    std::optional<LyricStyle> style;
};

class StyleNames : public ::testing::TestWithParam<StyleName> {};

TEST_P(StyleNames, AreReadInAnyCaseAndSpelling)
{
    EXPECT_EQ(styleFromName(QString::fromUtf8(GetParam().name)), GetParam().style);
}

INSTANTIATE_TEST_SUITE_P(
    Names, StyleNames,
    ::testing::Values(StyleName{"ship", LyricStyle::ship}, StyleName{"Fisheye", LyricStyle::fisheye},
                      StyleName{"VISUAL", LyricStyle::visual}, StyleName{"fisheye-visual", LyricStyle::fisheyeVisual},
                      StyleName{"Fisheye Visual", LyricStyle::fisheyeVisual},
                      StyleName{"fisheyeVisual", LyricStyle::fisheyeVisual}, StyleName{"fish", std::nullopt},
                      StyleName{"", std::nullopt}, StyleName{"ship2", std::nullopt}));

TEST(AppOptions, AStillTakesItsPositionSizeBackgroundAndTrack)
{
    const auto parsed = parseAppOptions(line({"--render-frame", "out.png", "--at", "12.5", "--size", "800x600",
                                              "--background", "#102030", "--artist", "A", "--title", "T",
                                              "--duration", "200", "--style", "visual"}));
    ASSERT_TRUE(std::holds_alternative<AppOptions>(parsed)) << std::get<QString>(parsed).toStdString();
    const AppOptions& options = std::get<AppOptions>(parsed);
    ASSERT_TRUE(options.still.has_value());
    EXPECT_EQ(options.still->outputPath, QStringLiteral("out.png"));
    EXPECT_DOUBLE_EQ(options.still->at, 12.5);
    EXPECT_EQ(options.still->size, QSize(800, 600));
    EXPECT_EQ(options.still->background, QColor(0x10, 0x20, 0x30));
    EXPECT_EQ(options.still->artist, QStringLiteral("A"));
    EXPECT_DOUBLE_EQ(options.still->duration, 200);
    EXPECT_EQ(options.style, LyricStyle::visual);
    EXPECT_FALSE(options.demo);
}

class BadOptions : public ::testing::TestWithParam<std::vector<const char*>> {};

TEST_P(BadOptions, AreRefusedWithAMessage)
{
    QStringList arguments{QStringLiteral("zuvik")};
    for (const char* word : GetParam())
        arguments.append(QString::fromUtf8(word));
    const auto parsed = parseAppOptions(arguments);
    ASSERT_TRUE(std::holds_alternative<QString>(parsed)) << arguments.join(u' ').toStdString();
    EXPECT_FALSE(std::get<QString>(parsed).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BadOptions,
    ::testing::Values(std::vector<const char*>{"--render-frame", "x.png"},
                      std::vector<const char*>{"--render-frame", "x.png", "--at", "nan"},
                      std::vector<const char*>{"--render-frame", "x.png", "--at", "-0.5"},
                      std::vector<const char*>{"--render-frame", "x.png", "--at", "1", "--size", "1920"},
                      std::vector<const char*>{"--render-frame", "x.png", "--at", "1", "--size", "0x10"},
                      std::vector<const char*>{"--render-frame", "x.png", "--at", "1", "--size", "9000x10"},
                      std::vector<const char*>{"--render-frame", "x.png", "--at", "1", "--background", "nocolour"},
                      std::vector<const char*>{"--render-frame", "x.png", "--at", "1", "--artist", "A"},
                      std::vector<const char*>{"--size", "100x100"}, std::vector<const char*>{"--style", "comic"},
                      std::vector<const char*>{"frobnicate"}));

TEST(DemoTrack, IsWordTimedWithinItsLengthInOrderAndWithoutOverlaps)
{
    const TimedLyrics lyrics = demo_track::lyrics();
    EXPECT_EQ(lyrics.tier(), LyricTier::wordLevel);
    EXPECT_GE(lyrics.groups().size(), 5);
    double previousEnd = 0;
    for (const TimedWord& word : lyrics.words()) {
        EXPECT_GE(word.start, previousEnd) << word.text.toStdString();
        EXPECT_GT(word.end, word.start) << word.text.toStdString();
        EXPECT_LE(word.end, demo_track::duration);
        previousEnd = word.end;
    }
}

TEST(DemoTrack, ThePretendPlayerLoopsTheSong)
{
    const QDateTime start = QDateTime::fromSecsSinceEpoch(1000000, Qt::UTC);
    QDateTime now = start.addMSecs(37'250);
    const auto query = demo_track::playerQuery(start, [&now] { return now; });
    std::optional<PlayerSample> sample;
    query([&sample](std::optional<PlayerSample> answer) { sample = std::move(answer); });
    ASSERT_TRUE(sample.has_value());
    EXPECT_TRUE(sample->isPlaying);
    EXPECT_NEAR(sample->position, 7.25, 1e-9);
    EXPECT_EQ(sample->title, demo_track::track().title);
    now = start.addMSecs(-500);  // a clock that stepped back: the song's start
    query([&sample](std::optional<PlayerSample> answer) { sample = std::move(answer); });
    EXPECT_DOUBLE_EQ(sample->position, 0);
}

}  // namespace
