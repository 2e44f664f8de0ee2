#include "platform/osascript/PlayerQueryScript.h"

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
