#pragma once

#include "playback/PlayerScriptHost.h"

#include <QString>

#include <memory>

// Runs the player query script with the system's `osascript` program, one process per run: the
// script goes in on standard input, the reply comes out on standard output.
class OsascriptScriptHost : public PlayerScriptHost {
public:
    // A run that takes longer than this is ended and counted as failed, so that a hung player
    // cannot hold the query thread indefinitely.
    static constexpr int timeoutMs = 10000;

    // Looks `osascript` up on PATH; nothing when there is none.
    static std::unique_ptr<PlayerScriptHost> create();

    explicit OsascriptScriptHost(QString program);
    ScriptResult run() override;

private:
    const QString m_program;
};

// Runs one AppleScript source with `program` (osascript): the script goes in on standard input,
// the printed result comes out without the line feed osascript adds. A run longer than
// OsascriptScriptHost::timeoutMs is ended and counted as failed.
ScriptResult runOsascript(const QString& program, const QString& script);

// Reads osascript's report of a failed run, "27:155: execution error: Not authorized to send
// Apple events to Spotify. (-1743)", into its number and message.
ScriptError osascriptError(const QString& standardError);
