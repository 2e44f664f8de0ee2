#pragma once

#include <QString>
#include <QStringList>

class AppServices;

// `zuvik lyrics --artist A --title T [--duration S] [--json]`: one lookup, the cache first, as the
// application makes it, for people and scripts. Prints "[mm:ss.xx] text" per line, or with --json
// the document as the cache stores it (without where it came from). With --candidates instead, a
// tab-separated table of what every source found, in the order the sources are asked. `zuvik lyrics --reject` asks the copy running on `busName` to send the
// current lyrics away. Exit status 0 when lyrics (or candidates) were found or the rejection was
// done, 1 when not, 2 on bad arguments. Needs the application object; arguments are the
// process's, "lyrics" second.
int runLyricsCommand(const QStringList& arguments, const QString& busName, AppServices& services);

// True when the command line asks for the lyrics command.
bool isLyricsCommand(const QStringList& arguments);
