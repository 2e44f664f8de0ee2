#pragma once

#include <QStringView>

#include <optional>

// The standard unsigned integer parse of stored text: ASCII digits of the base with an optional
// leading sign, no spaces; "-" is only good for zero. Values above max do not read.
std::optional<quint64> readUnsigned(QStringView text, int base, quint64 max);
