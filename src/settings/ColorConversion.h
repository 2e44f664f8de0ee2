#pragma once

#include "settings/Color.h"

#include <QColor>

// The one place where our colours meet Qt's.
QColor toQColor(const Color& color);
// Converts to sRGB first (from HSV, HSL or CMYK specs, or another colour space).
Color fromQColor(const QColor& color);
