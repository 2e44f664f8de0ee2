#include "platform/PlayerBackends.h"

#include "platform/mpris/MprisScriptHost.h"
#include "platform/osascript/OsascriptScriptHost.h"

QList<PlayerBackend> compiledPlayerBackends()
{
    return {
        {QStringLiteral("mpris"), [] { return std::unique_ptr<PlayerScriptHost>(std::make_unique<MprisScriptHost>()); }},
        {QStringLiteral("osascript"), &OsascriptScriptHost::create},
    };
}
