#include "platform/osascript/PlayerQueryScript.h"

#include <QList>

#include <charconv>
#include <cmath>

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r'; }

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

const QString& playerQueryScript()
{
    // Spotify reports the duration in milliseconds, Music in seconds.
    static const QString script = QStringLiteral(
        "set out to \"\"\n"
        "if application \"Spotify\" is running then\n"
        "    tell application \"Spotify\"\n"
        "        if player state is playing or player state is paused then\n"
        "            set nowPlaying to (player state is playing)\n"
        "            set trackName to name of current track\n"
        "            set trackArtist to artist of current track\n"
        "            set trackSeconds to (duration of current track) / 1000\n"
        "            set trackPosition to player position\n"
        "            set out to \"spotify\" & tab & trackName & tab & trackArtist & tab & (trackSeconds as text) & tab & (trackPosition as text) & tab & (nowPlaying as text)\n"
        "        end if\n"
        "    end tell\n"
        "end if\n"
        "if out is \"\" and application \"Music\" is running then\n"
        "    tell application \"Music\"\n"
        "        if player state is playing or player state is paused then\n"
        "            set nowPlaying to (player state is playing)\n"
        "            set trackName to name of current track\n"
        "            set trackArtist to artist of current track\n"
        "            set trackSeconds to duration of current track\n"
        "            set trackPosition to player position\n"
        "            set out to \"music\" & tab & trackName & tab & trackArtist & tab & (trackSeconds as text) & tab & (trackPosition as text) & tab & (nowPlaying as text)\n"
        "        end if\n"
        "    end tell\n"
        "end if\n"
        "return out\n");
    return script;
}

std::optional<PlayerSample> readPlayerReply(QStringView reply)
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
    return PlayerSample{fields[0].toString(),
                        fields[1].toString(),
                        fields[2].toString(),
                        *duration,
                        *position,
                        fields[5] == u"true",
                        QDateTime(),
                        fields.size() > 6 ? fields[6].toString() : QString()};
}
