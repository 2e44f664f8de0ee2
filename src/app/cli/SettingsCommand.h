#pragma once

#include <QStringList>

#include <cstdio>

class AppSettings;
class StartAtLogin;

// `zuvik set KEY VALUE` and `zuvik get [KEY]`: the settings from a terminal, under the keys of the
// defaults store. A set goes through AppSettings, so it is stored, logged and validated as a
// change from the menu is; a running copy sees the file change and follows. `startAtLogin` is kept
// by the desktop, not the settings file, and is read from there.

bool isSettingsCommand(const QStringList& arguments);
// Runs the command named by arguments[1] ("set" or "get"); the process's exit status: 0; 1 when
// the defaults file cannot be read or the change cannot be written (with a message); or 2 for an
// unknown key, a bad value or wrong arguments.
int runSettingsCommand(const QStringList& arguments, StartAtLogin& startAtLogin);
// As runSettingsCommand, over the given settings; output and errors go to the given streams.
int runSettingsCommand(const QStringList& arguments, AppSettings& settings, StartAtLogin& startAtLogin, std::FILE* out,
                       std::FILE* err);
