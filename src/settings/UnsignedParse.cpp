#include "settings/UnsignedParse.h"

namespace {

int digitValue(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'A' && c <= u'Z')
        return c.unicode() - u'A' + 10;
    if (c >= u'a' && c <= u'z')
        return c.unicode() - u'a' + 10;
    return 99;
}

}  // namespace

std::optional<quint64> readUnsigned(QStringView text, int base, quint64 max)
{
    const bool negative = text.startsWith(u'-');
    const QStringView digits = (negative || text.startsWith(u'+')) ? text.sliced(1) : text;
    if (digits.isEmpty())
        return std::nullopt;
    quint64 value = 0;
    for (QChar c : digits) {
        const int digit = digitValue(c);
        if (digit >= base || value > (max - quint64(digit)) / quint64(base))
            return std::nullopt;
        value = value * quint64(base) + quint64(digit);
    }
    if (negative && value != 0)
        return std::nullopt;
    return value;
}
