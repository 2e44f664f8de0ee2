#include "platform/PlayerBackends.h"

#include "foundation/DiagLog.h"

#include <QStringList>
#include <QSysInfo>

QString choosePlayerBackend(const QStringList& compiled, QStringView requested, QStringView productType)
{
    if (!requested.isEmpty() && compiled.contains(requested))
        return requested.toString();
    if (productType == u"macos" && compiled.contains(QStringLiteral("osascript")))
        return QStringLiteral("osascript");
    return compiled.value(0);
}

namespace {

QStringList backendNames(const QList<PlayerBackend>& backends)
{
    QStringList names;
    for (const PlayerBackend& backend : backends)
        names.append(backend.name);
    return names;
}

QString requestedBackend() { return qEnvironmentVariable("ZUVIK_PLAYER_BACKEND"); }

}  // namespace

std::unique_ptr<PlayerSource> makePlayerSource(PlayerRoster& roster)
{
    const QList<PlayerBackend> backends = compiledPlayerBackends();
    const QString requested = requestedBackend();
    const QString chosen = choosePlayerBackend(backendNames(backends), requested, QSysInfo::productType());
    if (!requested.isEmpty() && requested != chosen)
        DiagLog::log(QStringLiteral("player query: no backend \"%1\" in this build").arg(requested));
    DiagLog::log(QStringLiteral("player query: using the %1 backend").arg(chosen));
    for (const PlayerBackend& backend : backends) {
        if (backend.name == chosen)
            return backend.create(roster);
    }
    return nullptr;
}

std::unique_ptr<ArtworkSource> makeArtworkSource(PlayerRoster& roster)
{
    const QList<PlayerBackend> backends = compiledPlayerBackends();
    const QString chosen = choosePlayerBackend(backendNames(backends), requestedBackend(), QSysInfo::productType());
    for (const PlayerBackend& backend : backends) {
        if (backend.name == chosen)
            return backend.createArtworkSource(roster);
    }
    return nullptr;
}
