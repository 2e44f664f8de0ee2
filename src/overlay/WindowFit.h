#pragma once

#include <QRect>
#include <QRectF>

#include <optional>

// Keeps an overlay window no larger than what it draws: a transparent window costs the renderer,
// the X server and the compositor in proportion to its area on every frame, so a window that
// covers the whole band while a few words move wastes most of that. The window grows at once
// (with slack, so a stack that grows word by word rarely makes it grow again) and shrinks only
// once what it draws has stayed much smaller for a while; it never leaves the band's reach.
class WindowFit {
public:
    static constexpr double slackShareOfHeight = 0.06;  // of the display height, on every side
    static constexpr double shrinkRatio = 1.8;  // of areas, before shrinking is worth it
    static constexpr double shrinkAfterSeconds = 1.5;

    // `reach`: everything the band may ever draw on, display coordinates.
    WindowFit(QRect reach, double displayHeight);

    QRect current() const { return m_current; }
    // The new window rectangle for what a frame draws (display coordinates; empty for nothing),
    // or nothing when the window should stay as it is. Times are steady seconds.
    std::optional<QRect> follow(const QRectF& drawn, double time);

private:
    QRect withSlack(const QRectF& drawn) const;

    QRect m_reach;
    double m_slack;
    QRect m_current;
    std::optional<double> m_smallSince;
};

// The part of a display of this size that the band can ever draw on, swaying included, in display
// coordinates rounded out to whole points; one point for a display with no area.
QRect overlayReach(QSizeF display);
