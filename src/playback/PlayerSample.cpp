#include "playback/PlayerSample.h"

#include <QList>

#include <charconv>
#include <cmath>

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

// The whole field must be one number in the C locale: no leading blank, nothing left over.
// NaN and infinities are refused as well: a NaN duration never equals itself, so the monitor
// would take every sample of the track for a new track.
std::optional<double> readNumber(QStringView field)
{
    if (field.isEmpty() || isBlank(field.front()))
        return std::nullopt;
    QByteArray text = field.toLatin1();
    if (text.front() == '+') {  // from_chars takes no plus sign; a second sign stays an error
        text.remove(0, 1);
        if (text.isEmpty() || text.front() == '+' || text.front() == '-' || isBlank(QChar::fromLatin1(text.front())))
            return std::nullopt;
    }
    double value = 0;
    const char* end = text.constData() + text.size();
    const auto [stop, error] = std::from_chars(text.constData(), end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<PlayerSample> PlayerSample::fromReply(QStringView reply, const QDateTime& sampledAt)
{
    if (reply.isEmpty())
        return std::nullopt;
    const QList<QStringView> fields = reply.split(u'\t');
    if (fields.size() < 6)
        return std::nullopt;
    const std::optional<double> duration = readNumber(fields[3]);
    if (!duration)
        return std::nullopt;
    const std::optional<double> position = readNumber(fields[4]);
    if (!position)
        return std::nullopt;
    return PlayerSample{fields[0].toString(), fields[1].toString(), fields[2].toString(), *duration,
                        *position, fields[5] == u"true", sampledAt, fields.size() > 6 ? fields[6].toString() : QString()};
}
