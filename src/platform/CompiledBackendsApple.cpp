#include "platform/PlayerBackends.h"

#include "platform/osascript/OsascriptArtworkSource.h"
#include "platform/osascript/OsascriptPlayerSource.h"

QList<PlayerBackend> compiledPlayerBackends()
{
    return {{QStringLiteral("osascript"), [](PlayerRoster&) { return OsascriptPlayerSource::create(); },
             [](PlayerRoster&) { return OsascriptArtworkSource::create(); }}};
}
