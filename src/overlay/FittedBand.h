#pragma once

#include "overlay/WindowFit.h"

#include <QRect>

#include <functional>
#include <optional>

class FrameFeed;
class LyricBand;
class QObject;
class QQuickItem;

// Keeps what hosts a band (a window, or a surface) on the part of its display that the band
// draws on: the band's whole reach at first, then no larger than what it draws (WindowFit).
class FittedBand {
public:
    // Moves the host to a rectangle of its display, in the display's points.
    using Move = std::function<void(const QRect& onDisplay)>;

    // The band of a scene (its "lyricBand" item, if it has one), fed by `feed`, followed frame by
    // frame for as long as `host` lives.
    FittedBand(QQuickItem* scene, FrameFeed& feed, QObject& host, Move move);

    LyricBand* band() const { return m_band; }

    // Covers the band's reach on a display of this size.
    void fitToDisplay(QSizeF display);
    // Follows what a frame drew (host coordinates, empty for nothing) at a steady time.
    void follow(const QRectF& drawn, double steadySeconds);
    QRect placement() const { return m_placement; }

private:
    void place(const QRect& onDisplay);

    LyricBand* m_band;
    Move m_move;
    QSizeF m_display;
    QRect m_placement;
    std::optional<WindowFit> m_fit;
};
