#include "settings/AccentExtractor.h"

#include <QColorSpace>

#include <algorithm>
#include <array>

namespace accent {

namespace {

// One cell of the histogram: red, green and blue each cut to their top four bits.
struct Bucket {
    qint64 count = 0;
    qint64 red = 0;
    qint64 green = 0;
    qint64 blue = 0;
};

constexpr int bucketCount = 16 * 16 * 16;
constexpr double minimumSaturation = 0.25;
constexpr double minimumBrightness = 0.3;
// Lifts the two factors off zero so that area still counts for a cell just over the thresholds.
constexpr double scoreLift = 0.2;

int bucketIndex(int red, int green, int blue) { return (red / 16) * 256 + (green / 16) * 16 + (blue / 16); }

Color averageColor(const Bucket& bucket)
{
    const auto mean = [count = double(bucket.count)](qint64 sum) { return double(sum) / count / 255.0; };
    return Color{mean(bucket.red), mean(bucket.green), mean(bucket.blue), 1.0};
}

// Converting a whole large picture costs more than all the rest of the extraction, so a large
// picture in a slow format is first sampled down (every nth pixel, unblended) to this many
// pixels a side: each buffer pixel then still averages 64 samples.
constexpr int sampledSide = 8 * bufferSide;

QImage shrinkableFormat(const QImage& picture)
{
    if (picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32_Premultiplied)
        return picture;
    QImage sampled = picture;
    if (picture.width() > sampledSide || picture.height() > sampledSide)
        sampled = picture.scaled(std::min(picture.width(), sampledSide), std::min(picture.height(), sampledSide),
                                 Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return sampled.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                             : QImage::Format_RGB32);
}

}  // namespace

QImage accentBuffer(const QImage& picture)
{
    if (picture.isNull())
        return {};
    // Qt averages every source pixel when it shrinks smoothly, so a thin line or a noisy photo
    // weighs in by its area, as it would for someone looking at the cover. It does so quickly
    // only for 32-bit pixels with premultiplied (or no) alpha, so other formats are converted first.
    QImage buffer = shrinkableFormat(picture).scaled(bufferSide, bufferSide, Qt::IgnoreAspectRatio,
                                                     Qt::SmoothTransformation);
    if (buffer.isNull())
        return {};
    // Converted after the shrink: 1600 pixels instead of millions. A picture without a colour
    // space of its own is taken to be sRGB, as the web and most players assume.
    const QColorSpace space = picture.colorSpace();
    if (space.isValid() && space != QColorSpace(QColorSpace::SRgb)) {
        buffer.setColorSpace(space);
        buffer.convertToColorSpace(QColorSpace::SRgb);
    }
    return buffer.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
}

std::optional<Color> accentOfBuffer(const QImage& buffer)
{
    if (buffer.isNull() || buffer.format() != QImage::Format_RGBA8888_Premultiplied)
        return std::nullopt;

    std::array<Bucket, bucketCount> buckets{};
    for (int y = 0; y < buffer.height(); ++y) {
        const uchar* pixel = buffer.constScanLine(y);
        for (int x = 0; x < buffer.width(); ++x, pixel += 4) {
            // Red, green, blue, alpha in memory order; alpha is already folded into the three.
            Bucket& bucket = buckets[bucketIndex(pixel[0], pixel[1], pixel[2])];
            ++bucket.count;
            bucket.red += pixel[0];
            bucket.green += pixel[1];
            bucket.blue += pixel[2];
        }
    }

    int mostCommon = -1;
    int bestScored = -1;
    double bestScore = -1;
    for (int index = 0; index < bucketCount; ++index) {
        const Bucket& bucket = buckets[index];
        if (bucket.count == 0)
            continue;
        if (mostCommon < 0 || bucket.count > buckets[mostCommon].count)
            mostCommon = index;
        const Color average = averageColor(bucket);
        const double saturation = average.saturation();
        const double brightness = average.brightness();
        if (saturation <= minimumSaturation || brightness <= minimumBrightness)
            continue;
        const double score = (saturation + scoreLift) * (brightness + scoreLift) * double(bucket.count);
        if (score > bestScore) {
            bestScore = score;
            bestScored = index;
        }
    }
    const int chosen = bestScored >= 0 ? bestScored : mostCommon;
    if (chosen < 0)
        return std::nullopt;
    return averageColor(buckets[chosen]);
}

}  // namespace accent

std::optional<Color> extractAccent(const QImage& picture)
{
    return accent::accentOfBuffer(accent::accentBuffer(picture));
}
