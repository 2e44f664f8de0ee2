#pragma once

#include <QQuickView>

class FrameFeed;
class LyricBand;
class QScreen;

// One display's overlay: a frameless, transparent window above every other, on every workspace,
// outside the task bar, that never takes a click or the keyboard. It covers the part of its
// screen that the lyric band can reach, swaying included, and keeps to it as the screen changes.
class TopmostWindow : public QQuickView {
    Q_OBJECT
public:
    TopmostWindow(QQmlEngine& engine, QScreen& screen, FrameFeed& feed);

    LyricBand* band() const { return m_band; }
    // Follows the screen's current geometry.
    void fitToScreen();
    // Covers the overlay's part of a display with this geometry (global coordinates).
    void fitToDisplay(const QRect& display);

private:
    QScreen& m_screen;
    LyricBand* m_band = nullptr;  // owned by the scene
};
