#pragma once

#include <QStringList>

// `zuvik lyrics --artist A --title T [--duration S] [--json]`: one lookup, the cache first, as the
// application makes it, for people and scripts. Prints "[mm:ss.xx] text" per line, or with --json
// the document exactly as the cache stores it. Exit status 0 when lyrics were found, 1 when none,
// 2 on bad arguments. Needs the application object; arguments are the process's, "lyrics" second.
int runLyricsCommand(const QStringList& arguments);

// True when the command line asks for the lyrics command.
bool isLyricsCommand(const QStringList& arguments);
