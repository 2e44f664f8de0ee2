#include "platform/mpris/MprisPlayerChoice.h"

#include <QDBusArgument>
#include <QDBusMessage>

namespace {

const QString playerPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString playerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

// The player left the bus between the name listing and the call: it is simply not running.
bool isGone(const QDBusError& error)
{
    return error.type() == QDBusError::ServiceUnknown || error.name() == u"org.freedesktop.DBus.Error.NameHasNoOwner";
}

}  // namespace

std::variant<QStringList, QDBusError> listBusNames(const QDBusConnection& bus, int timeoutMs)
{
    const QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ListNames"));
    const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return QDBusError(reply);
    return reply.arguments().value(0).toStringList();
}

std::variant<std::optional<MprisPlayerState>, QDBusError> mprisPlayerStateOnBus(const QDBusConnection& bus,
                                                                                const QString& busName, int timeoutMs)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        busName, playerPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("GetAll"));
    call << playerInterface;
    const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        const QDBusError error(reply);
        if (isGone(error))
            return std::nullopt;
        return error;
    }
    const QVariant properties = reply.arguments().value(0);
    if (!properties.canConvert<QDBusArgument>() || properties.value<QDBusArgument>().currentSignature() != u"a{sv}")
        return MprisPlayerState{};  // not a player we can read: counts as stopped
    return mprisPlayerState(qdbus_cast<QVariantMap>(properties.value<QDBusArgument>()));
}

MprisFound chooseMprisPlayer(const QDBusConnection& bus, const QStringList& busNames, int timeoutMs)
{
    std::optional<MprisChoice> paused;
    for (const QString& name : busNames) {
        auto answer = mprisPlayerStateOnBus(bus, name, timeoutMs);
        if (auto* error = std::get_if<QDBusError>(&answer))
            return *error;
        auto& state = std::get<std::optional<MprisPlayerState>>(answer);
        if (!state || isAdvertisement(*state))
            continue;
        if (state->status == u"Playing")
            return MprisChoice{name, std::move(*state)};
        if (state->status == u"Paused" && !paused)
            paused = MprisChoice{name, std::move(*state)};
    }
    return paused;
}
