#include "platform/PlayerBackends.h"

#include "app/DiagLog.h"

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

std::unique_ptr<PlayerScriptHost> makePlayerScriptHost()
{
    const QList<PlayerBackend> backends = compiledPlayerBackends();
    QStringList names;
    for (const PlayerBackend& backend : backends)
        names.append(backend.name);
    const QString requested = qEnvironmentVariable("ZUVIK_PLAYER_BACKEND");
    const QString chosen = choosePlayerBackend(names, requested, QSysInfo::productType());
    if (!requested.isEmpty() && requested != chosen)
        DiagLog::log(QStringLiteral("player query: no backend \"%1\" in this build").arg(requested));
    DiagLog::log(QStringLiteral("player query: using the %1 backend").arg(chosen));
    for (const PlayerBackend& backend : backends) {
        if (backend.name == chosen)
            return backend.create();
    }
    return nullptr;
}
