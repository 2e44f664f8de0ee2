#pragma once

#include "overlay/Spring.h"
#include "overlay/StyleTraits.h"
#include "overlay/SwayTransform.h"
#include "settings/Color.h"
#include "visuals/WordVisual.h"

#include <QRectF>
#include <QString>
#include <QVarLengthArray>

#include <cstdint>
#include <optional>

enum class IconSide { none, before, after };

// One word of the stack as it should look once its row has settled. Rectangles are in band
// coordinates (origin at the band's top-left corner, y down) unless said otherwise; lengths are
// points.
struct FrameRow {
    QString text;
    double start = 0;  // the row's identity: a word keeps its row while the window slides
    bool isCurrent = false;
    double pointSize = 0;
    Color textColor;

    // The box the row turns about: the padded text in ship, icon and text together elsewhere.
    // Indent or offset is already applied.
    QRectF box;
    double tilt = 0;  // radians, clockwise on screen, about the centre of `box`
    double offset = 0;  // ship: the leading indent; other styles: the horizontal offset
    QPointF textOrigin;  // the top-left corner of the text's line box
    double baseline = 0;  // below textOrigin

    // A chip is a ship word set on a block of the highlight colour filling `box`.
    bool chip = false;
    Color chipColor;
    double chipPaddingX = 0;
    double chipPaddingY = 0;
    double opacity = 1;

    // The current word's highlight, hugging its ink; relative to textOrigin.
    std::optional<QRectF> glyphBox;
    Color glyphBoxColor;

    IconSide iconSide = IconSide::none;
    std::optional<WordVisual> visual;  // the pictogram, present exactly when iconSide is not none
    double iconPointSize = 0;  // the pictogram is drawn at this size, tinted iconColor
    QRectF iconBox;
    Color iconColor;

    // What the row paints (ink, chip block, glyph box, icon), turned by its tilt: an axis-aligned
    // bound that always lies inside the band. Shadows are not included.
    QRectF drawnBounds;
};

// The current word's pictogram, large and faint, centred behind the visual stack.
struct Watermark {
    double start = 0;  // identity: each new current word replaces it, crossfading
    WordVisual visual = WordVisual::emoji({});
    double pointSize = 0;
    double opacity = 0.08;
    Color symbolColor;  // a symbol's tint; an emoji keeps its own colours
    QPointF centre;  // band coordinates
};

// What one display draws in one frame, with no reference to the inputs it came from.
struct Frame {
    static constexpr int maxRows = 5;

    LyricStyle style = LyricStyle::ship;
    LyricFont font = LyricFont::sfPro;  // the family every row is set in
    QRectF band;  // display coordinates
    Sway sway;
    bool lensEnabled = false;  // the fisheye looks view the band through the lens
    Spring lineSpring{0.25, 0.7};
    WordShadow shadow;
    double insertionScale = 0.3;

    // The line on show: its first word's line number, and how many of its words have started.
    // Nothing means an empty band.
    std::optional<std::int64_t> line;
    qsizetype startedWords = 0;
    QVarLengthArray<FrameRow, maxRows> rows;  // oldest first; the last is the current word
    std::optional<Watermark> watermark;
};
