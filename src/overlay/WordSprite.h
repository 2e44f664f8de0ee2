#pragma once

#include "overlay/Frame.h"
#include "settings/SettingsEnums.h"

#include <QImage>
#include <QRectF>

// One row painted once, shadow and all, so that a frame only has to place it: the renderer moves,
// turns, scales and fades the picture instead of setting text again on every frame.
struct WordSprite {
    QImage image;  // premultiplied, device pixels
    QRectF rect;  // where the picture lies relative to the centre of the row's box, in points
};

// Everything a row's picture depends on; two rows with equal looks share a picture.
struct SpriteLook {
    QString text;
    double pointSize = 0;
    QSizeF boxSize;
    QPointF textOffset;  // the text's line box relative to the row's box
    double baseline = 0;
    Color textColor;
    bool chip = false;
    Color chipColor;
    std::optional<QRectF> glyphBox;  // relative to the text's line box
    Color glyphBoxColor;
    LyricFont font = LyricFont::sfPro;
    WordShadow shadow;
    double devicePixelRatio = 1;

    static SpriteLook of(const FrameRow& row, LyricFont font, const WordShadow& shadow, double devicePixelRatio);
    friend bool operator==(const SpriteLook&, const SpriteLook&) = default;
};

// The sprite without its invisible margins: the same picture where anything shows.
WordSprite cropped(WordSprite sprite);

// Paints a row with its chip block or glyph box and its drop shadow. Needs a QGuiApplication for
// the fonts; runs in well under a millisecond for a display-sized word.
WordSprite paintWordSprite(const SpriteLook& look);
