#pragma once

#include "overlay/FittedBand.h"

#include <QPointer>
#include <QQuickView>
#include <QScreen>

class FrameFeed;
class LyricBand;

// One display's overlay: a frameless, transparent window above every other, on every workspace,
// outside the task bar, that never takes a click or the keyboard. It covers the part of its
// screen that the lyric band can reach, swaying included, and keeps to it as the screen changes;
// within that it shrinks to what is being drawn, because every frame costs by the window's area.
class TopmostWindow : public QQuickView {
    Q_OBJECT
public:
    TopmostWindow(QQmlEngine& engine, QScreen& screen, FrameFeed& feed);

    LyricBand* band() const { return m_fitted->band(); }
    // Follows the screen's current geometry.
    void fitToScreen();
    // Covers the overlay's part of a display with this geometry (global coordinates).
    void fitToDisplay(const QRect& display);

private:
    QPointer<QScreen> m_screen;  // gone when the display is unplugged, before the window is
    QPoint m_displayOrigin;
    std::optional<FittedBand> m_fitted;
};
