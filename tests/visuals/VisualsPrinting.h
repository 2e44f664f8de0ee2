#pragma once

#include "visuals/WordVisual.h"

#include <QString>
#include <QStringList>

#include <ostream>

// Readable failure messages for the visuals tests.
inline void PrintTo(const QString& s, std::ostream* out) { *out << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& list, std::ostream* out) { *out << '[' << list.join(u", ").toStdString() << ']'; }
inline void PrintTo(const WordVisual& visual, std::ostream* out)
{
    *out << (visual.isSymbol() ? "symbol " : "emoji ") << visual.value().toStdString();
}
