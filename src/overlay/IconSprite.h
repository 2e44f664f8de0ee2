#pragma once

#include "overlay/StyleTraits.h"
#include "overlay/WordSprite.h"
#include "settings/Color.h"
#include "visuals/WordVisual.h"

// Everything a pictogram's picture depends on.
struct IconLook {
    WordVisual visual = WordVisual::emoji({});
    double pointSize = 0;  // the drawn size of the picture
    Color tint;  // of a symbol; an emoji keeps its own colours
    WordShadow shadow;  // none for the watermark
    double devicePixelRatio = 1;

    friend bool operator==(const IconLook&, const IconLook&) = default;
};

// Paints a symbol of the icon set tinted, or an emoji in colour, centred on the picture's rect
// (which is relative to the icon's centre). A symbol the set cannot draw paints nothing.
WordSprite paintIconSprite(const IconLook& look);
