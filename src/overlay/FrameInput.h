#pragma once

#include "lyrics/TimedLyrics.h"
#include "settings/Color.h"
#include "settings/SettingsEnums.h"
#include "visuals/WordVisual.h"

#include <QSizeF>

#include <functional>

class TextMeasurer;

// The settings a frame is drawn with, copied out of the user's settings by whoever builds the
// frame (the text scale already held to the bounds it is drawn at), so the overlay never reads them.
struct FrameSettings {
    LyricStyle style = LyricStyle::ship;
    Color textColor = Color::white();
    Color highlightColor = Color::white();
    Color secondaryColor = Color::white(0.7);
    Color contrastColor = Color::black();  // for text on the highlight colour
    LyricFont font = LyricFont::sfPro;
    double textScale = 1.0;
};

// A word's pictogram, if it has one. Asked once per drawn word per frame, and only in the styles
// that show pictograms; it must answer from memory. The answer travels with the frame.
using VisualLookup = std::function<std::optional<WordVisual>(const QString& word)>;

// Everything one frame of one display depends on.
struct FrameInput {
    double frameTime = 0;  // T: the frame's date in seconds since 2001-01-01 UTC; drives the sway
    double playhead = 0;  // t: the playback position for this frame, lead included
    const TimedLyrics* lyrics = nullptr;  // nothing: an empty band
    FrameSettings settings;
    QSizeF displaySize;  // W × H in points, the window's whole content area
    const TextMeasurer* measurer = nullptr;  // nothing: nothing can be sized, an empty band
    VisualLookup visualFor;  // empty: no word has a pictogram
};
