#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QImage;
class QRect;
class QScreen;

// A surface on one display that sits above every window by the compositor's own rules (Wayland's
// layer shell), which the overlay draws into itself frame by frame. It never takes a click or the
// keyboard. Main thread.
class OverlaySurface : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Where the surface lies on its display, in the display's points; applies with the next frame.
    virtual void place(const QRect& onDisplay) = 0;
    // Whether a frame may be handed over now: the surface is shown and the compositor asked for one.
    virtual bool wantsFrame() const = 0;
    // Shows `frame` at the placed rectangle; its device pixel ratio is the display's scale.
    virtual void present(const QImage& frame) = 0;
    virtual void setShown(bool shown) = 0;

Q_SIGNALS:
    // The compositor is ready for a frame: once the surface is shown, then after each frame shown.
    void frameWanted();
};

// Makes the surface for one display.
using OverlaySurfaceMaker = std::function<std::unique_ptr<OverlaySurface>(QScreen&)>;
