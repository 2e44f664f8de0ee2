#include "platform/PlayerBackends.h"

#include "platform/mpris/MprisArtworkSource.h"
#include "platform/mpris/MprisScriptHost.h"
#include "platform/osascript/OsascriptArtworkSource.h"
#include "platform/osascript/OsascriptScriptHost.h"

QList<PlayerBackend> compiledPlayerBackends()
{
    return {
        {QStringLiteral("mpris"), [] { return std::unique_ptr<PlayerScriptHost>(std::make_unique<MprisScriptHost>()); },
         [] { return std::unique_ptr<ArtworkSource>(std::make_unique<MprisArtworkSource>()); }},
        {QStringLiteral("osascript"), &OsascriptScriptHost::create, &OsascriptArtworkSource::create},
    };
}
