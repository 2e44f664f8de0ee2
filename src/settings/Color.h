#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// A colour as the settings keep it: red, green, blue and alpha from 0 to 1, in sRGB.
struct Color {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;

    static Color white(double alpha = 1.0) { return {1, 1, 1, alpha}; }
    static Color black() { return {0, 0, 0, 1}; }
    // hue, saturation and brightness from 0 to 1 (HSB, also called HSV).
    static Color fromHsb(double hue, double saturation, double brightness, double alpha = 1.0);

    double hue() const;
    double saturation() const;
    double brightness() const;
    Color withAlpha(double newAlpha) const { return {red, green, blue, newAlpha}; }

    friend bool operator==(const Color&, const Color&) = default;
};

// "#RRGGBBAA" in upper case; components are clamped to 0...1 and rounded half away from zero
// (alpha 0.7 gives B3). A component that is not a number counts as 0.
QString colorHexString(const Color& color);

// Reads "#RRGGBBAA" or "RRGGBBAA" after trimming spaces and tabs; six digits are not accepted.
std::optional<Color> colorFromHex(QStringView text);
