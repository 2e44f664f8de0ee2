#include "platform/dbus/TimingRequestBus.h"

#include <cmath>

TimingRequestService::TimingRequestService(Handler handler, QDBusConnection bus, QObject* parent)
    : QObject(parent)
    , m_handler(std::move(handler))
    , m_bus(std::move(bus))
{
    m_serving = m_bus.isConnected()
                && m_bus.registerObject(timing_request_bus::objectPath, this, QDBusConnection::ExportScriptableSlots);
}

TimingRequestService::~TimingRequestService()
{
    if (m_serving)
        m_bus.unregisterObject(timing_request_bus::objectPath);
}

QString TimingRequestService::SetOffset(double seconds)
{
    if (!std::isfinite(seconds)) {
        sendErrorReply(refusedErrorName, QStringLiteral("an offset must be a number of seconds"));
        return {};
    }
    return answer({TimingRequest::Kind::set, seconds});
}

QString TimingRequestService::Reset() { return answer({TimingRequest::Kind::reset, 0}); }

QString TimingRequestService::Show() { return answer({TimingRequest::Kind::show, 0}); }

QString TimingRequestService::answer(const TimingRequest& request)
{
    const TimingAnswer result = m_handler(request);
    if (!result.done)
        sendErrorReply(refusedErrorName, result.text);
    return result.text;
}

RunningCopyReply requestTiming(const QString& busName, const TimingRequest& request, QDBusConnection bus)
{
    using Kind = TimingRequest::Kind;
    const QString method = request.kind == Kind::set     ? QStringLiteral("SetOffset")
                           : request.kind == Kind::reset ? QStringLiteral("Reset")
                                                         : QStringLiteral("Show");
    const QVariantList arguments = request.kind == Kind::set ? QVariantList{request.seconds} : QVariantList{};
    return callRunningCopy(busName, {timing_request_bus::objectPath, timing_request_bus::interfaceName, method},
                           arguments, std::move(bus));
}
