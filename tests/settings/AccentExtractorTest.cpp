#include "settings/AccentExtractor.h"
#include "ArtworkTestSupport.h"
#include "SettingsTestSupport.h"
#include <QColorSpace>
#include <QColorTransform>

namespace {
// Runs of pixels in row order, black after them, at the buffer's own size so that no pixel is blended.
QImage runs(const QList<std::pair<QColor, int>>& parts)
{
    QImage picture = solidPicture(Qt::black);
    int i = 0;
    for (const auto& [color, count] : parts)
        for (int end = i + count; i < end; ++i)
            picture.setPixelColor(i % accent::bufferSide, i / accent::bufferSide, color);
    return picture;
}

Color bytes(double red, double green, double blue) { return Color{red / 255.0, green / 255.0, blue / 255.0, 1.0}; }

struct AccentCase {
    const char* fault;
    QList<std::pair<QColor, int>> runs;  // or, when empty, `picture`
    Color expected;
    QImage picture = {};

    friend void PrintTo(const AccentCase& c, std::ostream* out) { *out << '"' << c.fault << '"'; }
};

class Accent : public ::testing::TestWithParam<AccentCase> {};

TEST_P(Accent, Extracts)
{
    const AccentCase& c = GetParam();
    const std::optional<Color> accent = extractAccent(c.runs.isEmpty() ? c.picture : runs(c.runs));
    ASSERT_TRUE(accent);
    expectColorNear(*accent, c.expected, 1e-12);
}

const QColor grey(128, 128, 128), dark(40, 40, 40), dark90(90, 90, 90);

// Stripes one pixel wide: a smooth shrink blends them, sampling would keep one of them.
QImage striped(QImage::Format format, int side, const QColor& odd, const QColor& even)
{
    QImage picture(side, side, format);
    picture.fill(odd);
    for (int i = 0; i < side * side; i += 2)
        picture.setPixelColor(i % side, i / side, even);
    return picture;
}

INSTANTIATE_TEST_SUITE_P(
    HistogramRule, Accent,
    ::testing::Values(
        AccentCase{"more white than black: white", {{Qt::white, 801}}, Color::white()},
        AccentCase{"as much white as black: black, the lower cell", {{Qt::white, 800}}, Color::black()},
        AccentCase{
            "a small red patch beats the grey rest", {{QColor(220, 20, 20), 16}, {grey, 1584}}, bytes(220, 20, 20)},
        AccentCase{"a cell is averaged",
                   {{QColor(200, 16, 16), 10}, {QColor(206, 30, 30), 10}, {grey, 1580}},
                   bytes(203, 23, 23)},
        AccentCase{"fully transparent: black", {}, Color::black(), solidPicture(Qt::transparent)},
        AccentCase{"transparency darkens before counting", {}, bytes(128, 0, 0), solidPicture(QColor(255, 0, 0, 128))},
        AccentCase{"and so when large", {}, bytes(128, 0, 0), solidPicture(QColor(255, 0, 0, 128), 1000, 700)},
        AccentCase{"a large 8-bit grey picture is grey",
                   {},
                   bytes(90, 90, 90),
                   striped(QImage::Format_Grayscale8, 1000, dark90, dark90)},
        AccentCase{"a picture is shrunk smoothly",
                   {},
                   bytes(150, 0, 0),
                   striped(QImage::Format_RGB32, 80, QColor(100, 0, 0), QColor(200, 0, 0))},
        AccentCase{"equal scores: the lower cell", {{Qt::red, 800}, {Qt::blue, 800}}, bytes(0, 0, 255)},
        AccentCase{"larger duller cell wins",
                   {{Qt::red, 100}, {QColor(60, 160, 200), 400}, {grey, 1100}},
                   bytes(60, 160, 200)},
        AccentCase{
            "more vivid cell wins", {{Qt::red, 300}, {QColor(60, 160, 200), 400}, {grey, 900}}, bytes(255, 0, 0)},
        AccentCase{"saturation 0.25 not scored", {{QColor(128, 96, 96), 600}, {dark, 1000}}, bytes(40, 40, 40)},
        AccentCase{"brightness 0.3 not scored",
                   {{QColor(76, 0, 0), 300}, {QColor(77, 0, 0), 300}, {dark, 1000}},
                   bytes(40, 40, 40)},
        AccentCase{"just above both is scored", {{QColor(128, 95, 95), 600}, {dark, 1000}}, bytes(128, 95, 95)},
        AccentCase{"greyscale: its largest cell",
                   {{QColor(200, 200, 200), 700}, {QColor(90, 90, 90), 900}},
                   bytes(90, 90, 90)}));

TEST(AccentExtraction, ALargeGradientShrinksToItsVividBandAndAPictureIsReadInItsColourSpace)
{
    // A grey ramp over three quarters, orange (green 128 to 159) over the rest: only orange scores.
    QImage picture(1800, 1200, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(
                x, y, x < 1350 ? 0xff000000u + (20 + x * 200 / 1350) * 0x10101u : qRgb(255, 128 + y * 32 / 1200, 0));
    expectColorNear(extractAccent(picture).value_or(Color{}), bytes(255, 143.5, 0), 18.5 / 255.0);

    // A picture is read in its own colour space.
    picture = solidPicture(QColor(100, 150, 200));
    picture.setColorSpace(QColorSpace(QColorSpace::AdobeRgb));
    const QColor inSrgb = QColorSpace(QColorSpace::AdobeRgb)
                              .transformationToColorSpace(QColorSpace(QColorSpace::SRgb))
                              .map(QColor(100, 150, 200));
    expectColorNear(extractAccent(picture).value_or(Color{}), bytes(inSrgb.red(), inSrgb.green(), inSrgb.blue()),
                    1.5 / 255);
}

TEST(AccentExtraction, NothingComesOfNoPicture)
{
    EXPECT_EQ(extractAccent(QImage()), std::nullopt);
    EXPECT_EQ(accent::accentOfBuffer(QImage()), std::nullopt);
    // A buffer in another layout would be read with its channels in the wrong places.
    EXPECT_EQ(accent::accentOfBuffer(solidPicture(Qt::red)), std::nullopt);
}
}  // namespace
