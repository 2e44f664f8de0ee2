#include "lyrics/NumberReading.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace number_reading {

namespace {

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

qsizetype skipSign(QStringView text, qsizetype at)
{
    return at < text.size() && (text[at] == u'+' || text[at] == u'-') ? at + 1 : at;
}

qsizetype skipDigits(QStringView text, qsizetype at)
{
    while (at < text.size() && isDigit(text[at]))
        ++at;
    return at;
}

}  // namespace

std::optional<std::int64_t> readInt64(QStringView text)
{
    const qsizetype digitsBegin = skipSign(text, 0);
    if (digitsBegin == text.size() || skipDigits(text, digitsBegin) != text.size())
        return std::nullopt;
    const bool negative = text[0] == u'-';
    // Accumulate towards the sign so that the minimum value reads without overflow.
    std::int64_t value = 0;
    for (qsizetype i = digitsBegin; i < text.size(); ++i) {
        const int digit = text[i].unicode() - u'0';
        if (negative) {
            if (value < (std::numeric_limits<std::int64_t>::min() + digit) / 10)
                return std::nullopt;
            value = value * 10 - digit;
        } else {
            if (value > (std::numeric_limits<std::int64_t>::max() - digit) / 10)
                return std::nullopt;
            value = value * 10 + digit;
        }
    }
    return value;
}

std::optional<double> readDecimal(QStringView text)
{
    qsizetype at = skipSign(text, 0);
    const qsizetype mantissaEnd = skipDigits(text, at);
    if (mantissaEnd == at)
        return std::nullopt;
    at = mantissaEnd;
    if (at < text.size() && (text[at] == u'e' || text[at] == u'E')) {
        const qsizetype exponentBegin = skipSign(text, at + 1);
        at = skipDigits(text, exponentBegin);
        if (at == exponentBegin)
            return std::nullopt;
    }
    if (at != text.size())
        return std::nullopt;

    // Only ASCII remains, so the Latin-1 form is exact. from_chars does not take a leading "+".
    std::string ascii = text.toLatin1().toStdString();
    if (ascii.front() == '+')
        ascii.erase(0, 1);
    double value = 0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (error != std::errc() || end != ascii.data() + ascii.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

}  // namespace number_reading
