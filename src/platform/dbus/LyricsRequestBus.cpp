#include "platform/dbus/LyricsRequestBus.h"

#include <QDBusMessage>

LyricsRequestService::LyricsRequestService(Handler handler, QDBusConnection bus, QObject* parent)
    : QObject(parent)
    , m_handler(std::move(handler))
    , m_bus(std::move(bus))
{
    m_serving = m_bus.isConnected()
                && m_bus.registerObject(lyrics_request_bus::objectPath, this, QDBusConnection::ExportScriptableSlots);
}

LyricsRequestService::~LyricsRequestService()
{
    if (m_serving)
        m_bus.unregisterObject(lyrics_request_bus::objectPath);
}

QString LyricsRequestService::Reject()
{
    setDelayedReply(true);
    m_handler([call = message(), bus = connection()](bool done, const QString& text) mutable {
        bus.send(done ? call.createReply(text) : call.createErrorReply(refusedErrorName, text));
    });
    return {};
}

RunningCopyReply requestRejection(const QString& busName, QDBusConnection bus)
{
    return callRunningCopy(
        busName, {lyrics_request_bus::objectPath, lyrics_request_bus::interfaceName, QStringLiteral("Reject")}, {},
        std::move(bus), lyrics_request_bus::rejectTimeoutMs);
}
