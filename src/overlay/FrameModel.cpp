#include "overlay/FrameModel.h"

#include "overlay/BandFit.h"
#include "overlay/BandGeometry.h"
#include "overlay/FisheyeStack.h"
#include "overlay/RowDressing.h"
#include "overlay/StackLayout.h"
#include "overlay/WordWindow.h"

namespace {

// Rows of the ship and visual stacks overlap by this share of the display height.
constexpr double stackSpacingOfHeight = -0.012;
// The watermark's point size as a share of the band height.
constexpr double watermarkShareOfBand = 0.55;

Frame emptyFrame(const FrameSettings& settings, double frameTime, QSizeF display)
{
    const StyleTraits& traits = styleTraits(settings.style);
    Frame frame;
    frame.style = settings.style;
    frame.font = settings.font;
    frame.band = band::bandRect(display);
    frame.sway = swayAt(frameTime, traits.swayAmplitude, frame.band.size());
    frame.lensEnabled = traits.isFisheye;
    frame.lineSpring = traits.lineSpring;
    frame.shadow = traits.shadow;
    frame.insertionScale = traits.insertionScale;
    return frame;
}

double rowSpacing(const StyleTraits& traits, double height, double textScale)
{
    if (traits.isFisheye)
        return fisheye_stack::rowSpacingOfBase * fisheye_stack::baseCapShareOfHeight * height * textScale;
    return stackSpacingOfHeight * height;
}

void addRows(Frame& frame, std::span<const TimedWord> window, const FrameInput& input, QSizeF display)
{
    const FrameSettings& settings = input.settings;
    const StyleTraits& traits = styleTraits(settings.style);
    const LyricType type{*input.measurer, settings.font, settings.textScale};
    const double width = display.width();
    const double height = display.height();
    const WordSizes sizes = traits.isFisheye ? fisheyeWordSizes(window, width, height, type)
                                             : stackWordSizes(window, width, height, type);
    for (std::size_t i = 0; i < window.size(); ++i) {
        const bool isCurrent = i + 1 == window.size();
        frame.rows.append(
            dressRow(window[i], isCurrent, sizes[static_cast<qsizetype>(i)], settings, width, input.visualFor));
    }

    const QSizeF bandSize = frame.band.size();
    const std::span<FrameRow> rows(frame.rows.data(), static_cast<std::size_t>(frame.rows.size()));
    placeRows(rows, {bandSize, rowSpacing(traits, height, type.textScale), traits.centred}, type);
    if (const double zoom = bandFitZoom(rows, bandSize); zoom < 1)
        zoomRows(rows, bandSize, zoom);
}

// Only the visual look shows the current word's pictogram behind the stack.
std::optional<Watermark> watermarkFor(const Frame& frame, const FrameSettings& settings)
{
    if (settings.style != LyricStyle::visual || frame.rows.isEmpty())
        return std::nullopt;
    const FrameRow& current = frame.rows.last();
    if (current.iconSide == IconSide::none)
        return std::nullopt;  // the resolver already said no for this word this frame
    Watermark mark;
    mark.start = current.start;
    mark.visual = *current.visual;
    mark.pointSize = watermarkShareOfBand * frame.band.height();
    mark.symbolColor = settings.textColor;
    mark.centre = QPointF(0.5 * frame.band.width(), 0.5 * frame.band.height());
    return mark;
}

}  // namespace

namespace FrameModel {

Frame build(const FrameInput& input)
{
    const QSizeF display = band::usableDisplaySize(input.displaySize);
    Frame frame = emptyFrame(input.settings, input.frameTime, display);
    if (!input.lyrics || !input.measurer)
        return frame;
    const auto active = input.lyrics->activeGroup(input.playhead);
    if (!active)
        return frame;

    const WordGroup& group = *active->group;
    const auto window = wordWindow(group, active->startedWords, styleTraits(input.settings.style).wordWindow);
    if (window.empty())
        return frame;  // a group is never empty; a document built by hand might be
    frame.line = group.first().line;
    frame.startedWords = active->startedWords;
    addRows(frame, window, input, display);
    frame.watermark = watermarkFor(frame, input.settings);
    return frame;
}

}  // namespace FrameModel
