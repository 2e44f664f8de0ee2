#include "app/SingleInstance.h"

#include <QDBusConnectionInterface>

SingleInstance::SingleInstance(QDBusConnection bus)
    : m_bus(std::move(bus))
{}

SingleInstance::Claim SingleInstance::claim()
{
    if (!m_bus.isConnected() || !m_bus.interface())
        return Claim::noSessionBus;
    // No queueing: a second copy must not wait in line to take over.
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply = m_bus.interface()->registerService(
        busName, QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid())
        return Claim::noSessionBus;
    return reply.value() == QDBusConnectionInterface::ServiceRegistered ? Claim::first : Claim::anotherIsRunning;
}
