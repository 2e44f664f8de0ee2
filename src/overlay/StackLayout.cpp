#include "overlay/StackLayout.h"

#include <algorithm>
#include <cmath>

namespace {

// Space between a pictogram and its word, as a share of the word's size.
constexpr double iconSpacingOfSize = 0.18;
// An emoji or symbol set at a point size fills about this much more than that size each way.
constexpr double iconBoxPerPoint = 1.2;

// What placing a row needs to know about its text at its size.
struct RowText {
    double scale;  // of the reference size
    double width;
    double height;
    double ascent;
    InkBounds ink;
};

RowText measure(const FrameRow& row, const LyricType& type, const FontMetrics& font)
{
    const WordMetrics word = usableWordMetrics(type.measurer, type.font, row.text);
    const double s = row.pointSize / TextMeasurer::referenceSize;
    return {s, word.advance * s, (font.ascent + font.descent) * s, font.ascent * s, word.ink};
}

double iconSide(const FrameRow& row)
{
    return row.iconSide == IconSide::none ? 0.0 : row.iconPointSize * iconBoxPerPoint;
}

QSizeF boxSize(const FrameRow& row, const RowText& text)
{
    if (row.iconSide == IconSide::none)
        return {text.width + 2 * row.chipPaddingX, text.height + 2 * row.chipPaddingY};
    const double icon = iconSide(row);
    return {text.width + iconSpacingOfSize * row.pointSize + icon, std::max(text.height, icon)};
}

// Puts text and icon inside the row's box, once the box is in place.
void placeContent(FrameRow& row, const RowText& text)
{
    const QRectF& box = row.box;
    double textLeft = box.left() + row.chipPaddingX;
    if (row.iconSide != IconSide::none) {
        const double icon = iconSide(row);
        const double iconLeft = row.iconSide == IconSide::before ? box.left() : box.right() - icon;
        row.iconBox = QRectF(iconLeft, box.center().y() - 0.5 * icon, icon, icon);
        if (row.iconSide == IconSide::before)
            textLeft = box.left() + icon + iconSpacingOfSize * row.pointSize;
    }
    row.textOrigin = QPointF(textLeft, box.center().y() - 0.5 * text.height);
    row.baseline = text.ascent;
    if (row.glyphBox) {
        // From the ink in the text's upward coordinates to the text's own top-left corner.
        const InkBounds& ink = text.ink;
        row.glyphBox = QRectF(text.scale * ink.left, text.ascent - text.scale * ink.top, text.scale * ink.width(),
                              text.scale * ink.height());
    }
}

// The axis-aligned bound of `rect` turned by `angle` about `pivot`.
QRectF turnedBounds(const QRectF& rect, QPointF pivot, double angle)
{
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    for (const QPointF corner : {rect.topLeft(), rect.topRight(), rect.bottomLeft(), rect.bottomRight()}) {
        const double dx = corner.x() - pivot.x();
        const double dy = corner.y() - pivot.y();
        const double x = pivot.x() + dx * c - dy * s;
        const double y = pivot.y() + dx * s + dy * c;
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    return QRectF(QPointF(minX, minY), QPointF(maxX, maxY));
}

QRectF spanning(const QRectF& a, const QRectF& b)
{
    return QRectF(QPointF(std::min(a.left(), b.left()), std::min(a.top(), b.top())),
                  QPointF(std::max(a.right(), b.right()), std::max(a.bottom(), b.bottom())));
}

QRectF paintedBounds(const FrameRow& row, const RowText& text)
{
    std::optional<QRectF> painted;
    const auto add = [&painted](const QRectF& rect) { painted = painted ? spanning(*painted, rect) : rect; };
    const InkBounds& ink = text.ink;
    if (ink.width() > 0 || ink.height() > 0)
        add(QRectF(row.textOrigin.x() + text.scale * ink.left, row.textOrigin.y() + text.ascent - text.scale * ink.top,
                   text.scale * ink.width(), text.scale * ink.height()));
    if (row.chip)
        add(row.box);
    if (row.iconSide != IconSide::none)
        add(row.iconBox);
    const QRectF unturned = painted.value_or(QRectF(row.box.center(), QSizeF(0, 0)));
    return turnedBounds(unturned, row.box.center(), row.tilt);
}

}  // namespace

void placeRows(std::span<FrameRow> rows, const StackPlacement& placement, const LyricType& type)
{
    const FontMetrics font = usableFontMetrics(type.measurer, type.font);
    QVarLengthArray<RowText, Frame::maxRows> texts;
    double stackHeight = 0;
    double stackWidth = 0;
    for (FrameRow& row : rows) {
        texts.append(measure(row, type, font));
        row.box.setSize(boxSize(row, texts.last()));
        stackHeight += row.box.height();
        stackWidth = std::max(stackWidth, row.offset + row.box.width());
    }
    if (!rows.empty())
        stackHeight += placement.spacing * static_cast<double>(rows.size() - 1);

    const double bandWidth = placement.band.width();
    const double stackLeft = 0.5 * (bandWidth - stackWidth);
    double y = 0.5 * (placement.band.height() - stackHeight);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        FrameRow& row = rows[i];
        const double left = placement.centred ? 0.5 * (bandWidth - row.box.width()) + row.offset
                                              : stackLeft + row.offset;
        row.box.moveTopLeft(QPointF(left, y));
        y += row.box.height() + placement.spacing;
        placeContent(row, texts[static_cast<qsizetype>(i)]);
        row.drawnBounds = paintedBounds(row, texts[static_cast<qsizetype>(i)]);
    }
}
