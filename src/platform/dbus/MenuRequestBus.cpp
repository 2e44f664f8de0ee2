#include "platform/dbus/MenuRequestBus.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

MenuRequestService::MenuRequestService(QDBusConnection bus, QObject* parent)
    : QObject(parent)
    , m_bus(std::move(bus))
{
    m_serving = m_bus.isConnected()
                && m_bus.registerObject(menu_request_bus::objectPath, this, QDBusConnection::ExportScriptableSlots);
}

MenuRequestService::~MenuRequestService()
{
    if (m_serving)
        m_bus.unregisterObject(menu_request_bus::objectPath);
}

void MenuRequestService::Popup()
{
    // The menu opens after the reply has gone out, so the caller never waits on the menu.
    QMetaObject::invokeMethod(this, &MenuRequestService::popupRequested, Qt::QueuedConnection);
}

MenuRequestResult requestMenuPopup(const QString& busName, QDBusConnection bus, int timeoutMs)
{
    if (!bus.isConnected() || !bus.interface())
        return {MenuRequestOutcome::noSessionBus, QStringLiteral("no session bus to reach a running Zuvik through")};
    if (!bus.interface()->isServiceRegistered(busName).value())
        return {MenuRequestOutcome::noRunningInstance, QStringLiteral("Zuvik is not running")};
    const QDBusMessage call = QDBusMessage::createMethodCall(busName, menu_request_bus::objectPath,
                                                             menu_request_bus::interfaceName, QStringLiteral("Popup"));
    const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        // The name went away between the two calls, or belongs to a copy without the menu service.
        if (reply.errorName() == u"org.freedesktop.DBus.Error.ServiceUnknown"
            || reply.errorName() == u"org.freedesktop.DBus.Error.NameHasNoOwner")
            return {MenuRequestOutcome::noRunningInstance, QStringLiteral("Zuvik is not running")};
        return {MenuRequestOutcome::failed, QStringLiteral("the running Zuvik did not open its menu: ") + reply.errorMessage()};
    }
    return {MenuRequestOutcome::shown, {}};
}
