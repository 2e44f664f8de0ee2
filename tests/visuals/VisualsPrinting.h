#pragma once
#include "visuals/WordVisual.h"
#include <ostream>

// Readable failure messages for the visuals tests.
inline void PrintTo(const QString& s, std::ostream* out) { *out << '"' << s.toStdString() << '"'; }
inline void PrintTo(const WordVisual& visual, std::ostream* out)
{
    *out << (visual.isSymbol() ? "symbol " : "emoji ") << visual.value().toStdString();
}
