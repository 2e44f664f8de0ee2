#include "platform/PlayerBackends.h"

#include "platform/osascript/OsascriptArtworkSource.h"
#include "platform/osascript/OsascriptScriptHost.h"

QList<PlayerBackend> compiledPlayerBackends()
{
    return {{QStringLiteral("osascript"), &OsascriptScriptHost::create, &OsascriptArtworkSource::create}};
}
