#pragma once

#include <QStringView>

#include <cstdint>
#include <optional>

// Strict readers for the numbers inside lyric tags: no spaces, ASCII digits only.
namespace number_reading {

// An optional "+" or "-" followed by one or more digits, fitting a signed 64-bit integer.
std::optional<std::int64_t> readInt64(QStringView text);

// An optional sign, one or more digits and an optional exponent ("e" or "E", optional sign,
// digits). Values that are not finite do not read.
std::optional<double> readDecimal(QStringView text);

}  // namespace number_reading
