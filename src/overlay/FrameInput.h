#pragma once

#include "lyrics/TimedLyrics.h"
#include "settings/Color.h"
#include "settings/SettingsEnums.h"

#include <QSizeF>

#include <functional>

class AppSettings;
class TextMeasurer;

// The settings a frame is drawn with, copied out of AppSettings so the frame model never reaches
// for a shared object.
struct FrameSettings {
    LyricStyle style = LyricStyle::ship;
    Color textColor = Color::white();
    Color highlightColor = Color::white();
    Color secondaryColor = Color::white(0.7);
    Color contrastColor = Color::black();  // for text on the highlight colour
    LyricFont font = LyricFont::sfPro;
    double textScale = 1.0;

    static FrameSettings from(const AppSettings& settings);
};

// Whether the word visual resolver has a pictogram for a word. Asked once per drawn word per
// frame, and only in the styles that show pictograms; it must answer from memory.
using HasVisual = std::function<bool(const QString& word)>;

// Everything one frame of one display depends on.
struct FrameInput {
    double frameTime = 0;  // T: the frame's date in seconds since 2001-01-01 UTC; drives the sway
    double playhead = 0;   // t: the playback position for this frame, lead included
    const TimedLyrics* lyrics = nullptr;  // nothing: an empty band
    FrameSettings settings;
    QSizeF displaySize;  // W × H in points, the window's whole content area
    const TextMeasurer* measurer = nullptr;  // nothing: nothing can be sized, an empty band
    HasVisual hasVisual;  // empty: no word has a pictogram
};
