#pragma once

class LyricBand;
class QQmlEngine;
class QScreen;
class QString;
class FrameFeed;

#include <functional>
#include <memory>

// One display's overlay, whatever the platform draws it with: the lyric band above every window,
// click-through, and short notices at the top of the band. Main thread.
class DisplayOverlay {
public:
    virtual ~DisplayOverlay() = default;

    virtual LyricBand* band() const = 0;
    // Follows the display's current geometry.
    virtual void fitToScreen() = 0;
    virtual void setShown(bool shown) = 0;
    virtual bool isShown() const = 0;
    // Shows `text` for a moment; only while the overlay is shown.
    virtual void showNotice(const QString& text) = 0;
};

// Makes the overlay of one display; the band draws what the feed gives it.
using DisplayOverlayMaker = std::function<std::unique_ptr<DisplayOverlay>(QQmlEngine&, QScreen&, FrameFeed&)>;
