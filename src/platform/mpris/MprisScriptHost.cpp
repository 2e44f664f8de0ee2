#include "platform/mpris/MprisScriptHost.h"

#include "platform/mpris/MprisPlayerNames.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDateTime>

namespace {

const QString playerPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString playerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

ScriptError scriptError(const QDBusError& error)
{
    return ScriptError{static_cast<int>(error.type()), error.message().isEmpty() ? error.name() : error.message()};
}

// The player left the bus between the name listing and the call: it is simply not running.
bool isGone(const QDBusError& error)
{
    return error.type() == QDBusError::ServiceUnknown
        || error.name() == u"org.freedesktop.DBus.Error.NameHasNoOwner";
}

}  // namespace

MprisScriptHost::MprisScriptHost()
    : m_connectionName(QStringLiteral("zuvik-mpris-%1").arg(quintptr(this), 0, 16))
{
}

MprisScriptHost::~MprisScriptHost()
{
    m_seekRelays.clear();
    m_connection.reset();
    QDBusConnection::disconnectFromBus(m_connectionName);
}

ScriptResult MprisScriptHost::run()
{
    if (!connect())
        return scriptError(m_connection->lastError());
    const auto listed = listNames();
    if (const auto* error = std::get_if<QDBusError>(&listed))
        return scriptError(*error);
    const MprisPlayerNames names = mprisPlayerNames(std::get<QStringList>(listed));
    for (const QString& name : names.spotify)
        listenForSeeks(name);

    for (const auto& [source, group] : {std::pair(u"spotify", &names.spotify), std::pair(u"music", &names.others)}) {
        const Found found = choose(*group);
        if (const auto* error = std::get_if<QDBusError>(&found))
            return scriptError(*error);
        if (const auto& choice = std::get<std::optional<Choice>>(found)) {
            const std::optional<double> position =
                isSpotifyBusName(choice->busName) ? spotifyPosition(*choice) : mprisSeconds(choice->state.position);
            return mprisReplyRecord(QStringView(source), choice->state, position);
        }
    }
    return QString();
}

bool MprisScriptHost::connect()
{
    if (m_connection && m_connection->isConnected())
        return true;
    // A bus that went away (or never was) is tried afresh on every run.
    if (m_connection) {
        m_seekRelays.clear();
        m_connection.reset();
        QDBusConnection::disconnectFromBus(m_connectionName);
    }
    m_connection = QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_connectionName);
    return m_connection->isConnected();
}

MprisScriptHost::Found MprisScriptHost::choose(const QStringList& busNames)
{
    std::optional<Choice> paused;
    for (const QString& name : busNames) {
        auto answer = playerState(name);
        if (auto* error = std::get_if<QDBusError>(&answer))
            return *error;
        auto& state = std::get<std::optional<MprisPlayerState>>(answer);
        if (!state)
            continue;
        if (state->status == u"Playing")
            return Choice{name, std::move(*state)};
        if (state->status == u"Paused" && !paused)
            paused = Choice{name, std::move(*state)};
    }
    return paused;
}

std::variant<QStringList, QDBusError> MprisScriptHost::listNames()
{
    const QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ListNames"));
    const QDBusMessage reply = m_connection->call(call, QDBus::Block, callTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return QDBusError(reply);
    return reply.arguments().value(0).toStringList();
}

std::variant<std::optional<MprisPlayerState>, QDBusError> MprisScriptHost::playerState(const QString& busName)
{
    QDBusMessage call = QDBusMessage::createMethodCall(busName, playerPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                       QStringLiteral("GetAll"));
    call << playerInterface;
    const QDBusMessage reply = m_connection->call(call, QDBus::Block, callTimeoutMs);
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

std::optional<double> MprisScriptHost::spotifyPosition(const Choice& choice)
{
    const std::optional<double> reported = mprisSeconds(choice.state.position);
    if (!reported)
        return std::nullopt;
    return m_spotifyPositions[choice.busName].position(mprisTrackKey(choice.state), *reported,
                                                       choice.state.status == u"Playing",
                                                       QDateTime::currentDateTimeUtc());
}

void MprisScriptHost::listenForSeeks(const QString& busName)
{
    if (m_seekRelays.contains(busName))
        return;
    auto relay = std::make_unique<MprisSeekedRelay>([this, busName](qlonglong microseconds) {
        m_spotifyPositions[busName].seeked(double(microseconds) / 1e6, QDateTime::currentDateTimeUtc());
    });
    m_connection->connect(busName, playerPath, playerInterface, QStringLiteral("Seeked"), relay.get(),
                          SLOT(seeked(qlonglong)));
    m_seekRelays.emplace(busName, std::move(relay));
}
