#pragma once

class QWindow;

// Keeps the overlay windows above everything else, the lock screen included where the platform
// allows it. `showSpace` is called before a window is shown, `addWindow` with it.
class OverlaySpace {
public:
    virtual ~OverlaySpace() = default;
    virtual void showSpace() = 0;
    virtual void addWindow(QWindow& window) = 0;
};
