#include "platform/dbus/RunningCopyCall.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace {

const QString notRunning = QStringLiteral("Zuvik is not running");

}  // namespace

RunningCopyReply callRunningCopy(const QString& busName, const RunningCopyMethod& method, const QVariantList& arguments,
                                 QDBusConnection bus, int timeoutMs)
{
    if (!bus.isConnected() || !bus.interface())
        return {RunningCopyOutcome::noSessionBus, QStringLiteral("no session bus to reach a running Zuvik through")};
    if (!bus.interface()->isServiceRegistered(busName).value())
        return {RunningCopyOutcome::noRunningInstance, notRunning};
    QDBusMessage call = QDBusMessage::createMethodCall(busName, method.objectPath, method.interfaceName, method.name);
    call.setArguments(arguments);
    const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs);
    if (reply.type() != QDBusMessage::ErrorMessage)
        return {RunningCopyOutcome::answered, reply.arguments().value(0).toString()};
    if (reply.errorName() == refusedErrorName)
        return {RunningCopyOutcome::refused, reply.errorMessage()};
    // The name went away between the two calls.
    if (reply.errorName() == u"org.freedesktop.DBus.Error.ServiceUnknown"
        || reply.errorName() == u"org.freedesktop.DBus.Error.NameHasNoOwner")
        return {RunningCopyOutcome::noRunningInstance, notRunning};
    return {RunningCopyOutcome::failed, reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage()};
}
