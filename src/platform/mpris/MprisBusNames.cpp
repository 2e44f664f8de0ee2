#include "platform/mpris/MprisBusNames.h"

#include "platform/mpris/MprisPlayerChoice.h"
#include "platform/mpris/MprisPlayerNames.h"

#include <algorithm>

MprisBusNames::MprisBusNames(const QDBusConnection& bus, QObject* parent)
    : QObject(parent)
    , m_bus(bus)
    , m_watcher(QStringLiteral("org.mpris.MediaPlayer2*"), bus, QDBusServiceWatcher::WatchForOwnerChange)
{
    connect(&m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, &MprisBusNames::ownerChanged);
}

std::variant<QStringList, QDBusError> MprisBusNames::names(int timeoutMs)
{
    if (m_names.isEmpty() || ++m_pollsSinceListing >= pollsBetweenListings) {
        const auto listed = listBusNames(m_bus, timeoutMs);
        if (const auto* error = std::get_if<QDBusError>(&listed))
            return *error;
        m_names.clear();
        for (const QString& name : std::get<QStringList>(listed)) {
            if (!mprisPlayerName(name).isEmpty())
                m_names.insert(name);
        }
        m_pollsSinceListing = 0;
    }
    QStringList sorted(m_names.cbegin(), m_names.cend());
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

void MprisBusNames::ownerChanged(const QString& name, const QString& oldOwner, const QString& newOwner)
{
    (void)oldOwner;
    if (mprisPlayerName(name).isEmpty())
        return;
    if (newOwner.isEmpty())
        m_names.remove(name);
    else
        m_names.insert(name);
}
