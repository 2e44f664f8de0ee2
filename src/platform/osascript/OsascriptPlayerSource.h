#pragma once

#include "playback/PlayerSource.h"

#include <QString>

#include <memory>
#include <variant>

// What one run of osascript printed (possibly empty), or the error it ended with.
using ScriptResult = std::variant<QString, PlayerError>;

// Asks the players with the system's `osascript` program running the player query script, one
// process per ask: the script goes in on standard input, the reply record comes out on standard
// output and is read here.
class OsascriptPlayerSource : public PlayerSource {
public:
    // A run that takes longer than this is ended and counted as failed, so that a hung player
    // cannot hold the query thread indefinitely.
    static constexpr int timeoutMs = 10000;

    // Looks `osascript` up on PATH; nothing when there is none.
    static std::unique_ptr<PlayerSource> create();

    explicit OsascriptPlayerSource(QString program);
    PlayerResult read() override;

private:
    const QString m_program;
};

// Runs one AppleScript source with `program` (osascript): the script goes in on standard input,
// the printed result comes out without the line feed osascript adds. A run longer than
// OsascriptPlayerSource::timeoutMs is ended and counted as failed.
ScriptResult runOsascript(const QString& program, const QString& script);

// Reads osascript's report of a failed run, "27:155: execution error: Not authorized to send
// Apple events to Spotify. (-1743)", into its number and message.
PlayerError osascriptError(const QString& standardError);
