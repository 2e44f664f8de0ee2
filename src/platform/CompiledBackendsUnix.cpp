#include "platform/PlayerBackends.h"

#include "platform/mpris/MprisArtworkSource.h"
#include "platform/mpris/MprisPlayerSource.h"
#include "platform/osascript/OsascriptArtworkSource.h"
#include "platform/osascript/OsascriptPlayerSource.h"

QList<PlayerBackend> compiledPlayerBackends()
{
    return {
        {QStringLiteral("mpris"),
         [](PlayerRoster& roster) {
             return std::unique_ptr<PlayerSource>(std::make_unique<MprisPlayerSource>(roster));
         },
         [](PlayerRoster& roster) {
             return std::unique_ptr<ArtworkSource>(std::make_unique<MprisArtworkSource>(roster));
         }},
        {QStringLiteral("osascript"), [](PlayerRoster&) { return OsascriptPlayerSource::create(); },
         [](PlayerRoster&) { return OsascriptArtworkSource::create(); }},
    };
}
