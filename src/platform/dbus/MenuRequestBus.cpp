#include "platform/dbus/MenuRequestBus.h"

#include "platform/dbus/RunningCopyCall.h"

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
    if (!m_refusal.isEmpty()) {
        sendErrorReply(refusedErrorName, m_refusal);
        return;
    }
    // The menu opens after the reply has gone out, so the caller never waits on the menu.
    QMetaObject::invokeMethod(this, &MenuRequestService::popupRequested, Qt::QueuedConnection);
}

MenuRequestResult requestMenuPopup(const QString& busName, QDBusConnection bus, int timeoutMs)
{
    const RunningCopyMethod popup{menu_request_bus::objectPath, menu_request_bus::interfaceName,
                                  QStringLiteral("Popup")};
    const RunningCopyReply reply = callRunningCopy(busName, popup, {}, std::move(bus), timeoutMs);
    switch (reply.outcome) {
    case RunningCopyOutcome::answered:
        return {MenuRequestOutcome::shown, {}};
    case RunningCopyOutcome::noRunningInstance:
        return {MenuRequestOutcome::noRunningInstance, reply.text};
    case RunningCopyOutcome::noSessionBus:
        return {MenuRequestOutcome::noSessionBus, reply.text};
    case RunningCopyOutcome::refused:
        return {MenuRequestOutcome::refused, reply.text};
    case RunningCopyOutcome::failed:
        break;
    }
    // A copy without the menu service answers with an error too.
    return {MenuRequestOutcome::failed, QStringLiteral("the running Zuvik did not open its menu: ") + reply.text};
}
