#pragma once

#include "overlay/Spring.h"
#include "settings/SettingsEnums.h"

#include <array>

// The drop shadow under every word: black at `opacity`.
struct WordShadow {
    double radius = 0;
    double offsetY = 0;
    double opacity = 0.55;

    friend bool operator==(const WordShadow&, const WordShadow&) = default;
};

// What sets the four looks apart, apart from how each stacks and dresses its words.
struct StyleTraits {
    int wordWindow;  // how many of the most recent started words are shown
    double swayAmplitude;  // 0 keeps the band still
    Spring lineSpring;  // moves rows when a word starts
    WordShadow shadow;
    double tiltDegrees;  // a word turns by up to this either way
    double offsetShare;  // of the display width: ship's indent reach, else the offset either way
    double insertionScale;  // a row enters from, and leaves to, this scale
    bool isFisheye;  // sized by position and seen through the lens
    bool centred;  // rows centred (else leading-aligned, with an indent)
    bool pictograms;  // words may carry a pictogram
};

const StyleTraits& styleTraits(LyricStyle style);
