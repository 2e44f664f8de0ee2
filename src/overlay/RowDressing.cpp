#include "overlay/RowDressing.h"

#include "overlay/Angles.h"
#include "overlay/WordHash.h"

namespace {

constexpr double chipShare = 0.2;
constexpr double chipPaddingX = 0.14;
constexpr double chipPaddingY = 0.02;
constexpr double earlierChipOpacity = 0.7;
constexpr double iconShareOfSize = 0.62;

// Either way from 0, by up to `reach`.
double signedShare(double hash, double reach) { return (2 * hash - 1) * reach; }

void dressShip(FrameRow& row, const FrameSettings& settings, double displayWidth)
{
    row.chip = wordHash(row.start, word_salt::chip) < chipShare;
    if (row.chip) {
        row.textColor = settings.contrastColor;
        row.chipColor = settings.highlightColor;
        row.chipPaddingX = chipPaddingX * row.pointSize;
        row.chipPaddingY = chipPaddingY * row.pointSize;
        row.opacity = row.isCurrent ? 1.0 : earlierChipOpacity;
    } else {
        row.textColor = row.isCurrent ? settings.textColor : settings.secondaryColor;
    }
    row.offset = displayWidth * styleTraits(LyricStyle::ship).offsetShare * wordHash(row.start, word_salt::offset);
}

void dressCentred(FrameRow& row, const FrameSettings& settings, double displayWidth, const VisualLookup& visualFor)
{
    const StyleTraits& traits = styleTraits(settings.style);
    row.textColor = row.isCurrent ? settings.contrastColor : settings.secondaryColor;
    row.glyphBoxColor = settings.highlightColor;
    if (row.isCurrent)
        row.glyphBox = QRectF();  // placed with the row, once its ink is known
    row.offset = displayWidth * signedShare(wordHash(row.start, word_salt::offset), traits.offsetShare);
    // The resolver is asked only where a pictogram could be drawn.
    if (traits.pictograms && visualFor)
        row.visual = visualFor(row.text);
    if (row.visual) {
        row.iconSide = wordHash(row.start, word_salt::iconSide) < 0.5 ? IconSide::before : IconSide::after;
        row.iconPointSize = iconShareOfSize * row.pointSize;
        row.iconColor = settings.highlightColor;
    }
}

}  // namespace

FrameRow dressRow(const TimedWord& word, bool isCurrent, double pointSize, const FrameSettings& settings,
                  double displayWidth, const VisualLookup& visualFor)
{
    FrameRow row;
    row.text = word.text;
    row.start = word.start;
    row.isCurrent = isCurrent;
    row.pointSize = pointSize;
    const StyleTraits& traits = styleTraits(settings.style);
    row.tilt = signedShare(wordHash(word.start, word_salt::tilt), traits.tiltDegrees) * radiansPerDegree;
    if (traits.centred)
        dressCentred(row, settings, displayWidth, visualFor);
    else
        dressShip(row, settings, displayWidth);
    return row;
}
