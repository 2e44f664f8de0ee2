#pragma once

#include <QJsonValue>

#include <cstdint>
#include <optional>

// A JSON number holding a whole value (1 or 1.0) that fits 64 bits; anything else, strings of
// digits included, is not an integer. toInteger() answers its default for every other value, so
// two different defaults tell the cases apart.
inline std::optional<std::int64_t> jsonInteger(const QJsonValue& value)
{
    const qint64 withZero = value.toInteger(0);
    if (withZero != value.toInteger(1))
        return std::nullopt;
    return withZero;
}
