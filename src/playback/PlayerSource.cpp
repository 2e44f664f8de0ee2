#include "playback/PlayerSource.h"

namespace {

// Apple's code for "not authorised to send Apple events", the commonest reason the script fails.
constexpr int appleEventsNotPermitted = -1743;

}  // namespace

QStringList PlayerSource::failureLines(const PlayerError& error) const
{
    const int number = error.number.value_or(0);
    QStringList lines{QStringLiteral("AppleScript failed (%1): %2")
                          .arg(QString::number(number), error.message.value_or(QStringLiteral("unknown")))};
    if (number == appleEventsNotPermitted)
        lines.append(QStringLiteral(
            "-1743 = Apple Events not permitted. Check that the binary carries "
            "com.apple.security.automation.apple-events, then check System Settings > Privacy & Security > "
            "Automation."));
    return lines;
}

QString PlayerSource::nothingPlayingLine() const
{
    return QStringLiteral("player query returned empty — nothing playing in Spotify or Music");
}
