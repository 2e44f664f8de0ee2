#include "platform/mpris/MprisPlayerSource.h"

#include "platform/mpris/FreshPosition.h"
#include "platform/mpris/MprisBusNames.h"
#include "platform/mpris/MprisPlayerNames.h"

#include <QDBusMessage>
#include <QDBusVariant>
#include <QDateTime>
#include <QThread>

namespace {

const QString playerPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString playerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

PlayerError playerError(const QDBusError& error)
{
    return PlayerError{static_cast<int>(error.type()), error.message().isEmpty() ? error.name() : error.message()};
}

}  // namespace

QStringList MprisPlayerSource::failureLines(const PlayerError& error) const
{
    const auto type = static_cast<QDBusError::ErrorType>(error.number.value_or(QDBusError::Other));
    return {QStringLiteral("player query: D-Bus failed (%1): %2")
                .arg(QDBusError::errorString(type), error.message.value_or(QStringLiteral("no message")))};
}

QString MprisPlayerSource::nothingPlayingLine() const
{
    return QStringLiteral("player query: no MPRIS player is playing or paused");
}

MprisPlayerSource::MprisPlayerSource(PlayerRoster& roster)
    : m_roster(roster)
    , m_connectionName(QStringLiteral("zuvik-mpris-%1").arg(quintptr(this), 0, 16))
{}

MprisPlayerSource::~MprisPlayerSource()
{
    m_seekRelays.clear();
    m_busNames.reset();
    m_connection.reset();
    QDBusConnection::disconnectFromBus(m_connectionName);
}

PlayerResult MprisPlayerSource::read()
{
    const QDateTime start = QDateTime::currentDateTimeUtc();
    if (!connect())
        return playerError(m_connection->lastError());
    const auto listed = m_busNames->names(callTimeoutMs);
    if (const auto* error = std::get_if<QDBusError>(&listed))
        return playerError(*error);
    const QStringList& busNames = std::get<QStringList>(listed);
    m_roster.setPlayersSeen(mprisPlayersOnBus(busNames));
    forgetPlayersGone(busNames);
    for (const QString& name : mprisPlayerNames(busNames).spotify)
        listenForSeeks(name);
    m_followed.clear();

    for (const QStringList& group : mprisPlayerGroups(busNames, m_roster.preferences())) {
        const MprisFound found = chooseMprisPlayer(*m_connection, group, callTimeoutMs);
        if (const auto* error = std::get_if<QDBusError>(&found))
            return playerError(*error);
        if (const auto& choice = std::get<std::optional<MprisChoice>>(found)) {
            m_followed = choice->busName;
            listenForSeeks(choice->busName);
            const bool spotify = isSpotifyBusName(choice->busName);
            const std::optional<double> position = spotify ? spotifyPosition(*choice) : freshPosition(*choice, start);
            return mprisReading(spotify ? u"spotify" : u"music", choice->state, position);
        }
    }
    return PlayerReading{};
}

bool MprisPlayerSource::connect()
{
    if (m_connection && m_connection->isConnected())
        return true;
    // A bus that went away (or never was) is tried afresh on every run.
    if (m_connection) {
        m_seekRelays.clear();
        m_busNames.reset();
        m_connection.reset();
        QDBusConnection::disconnectFromBus(m_connectionName);
    }
    m_connection = QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_connectionName);
    if (!m_connection->isConnected())
        return false;
    m_busNames = std::make_unique<MprisBusNames>(*m_connection);
    return true;
}

std::optional<double> MprisPlayerSource::correctedPosition(const MprisChoice& choice, const QVariant& reported,
                                                           const QDateTime& readAt)
{
    const MprisPlayerState& state = choice.state;
    return m_positions[choice.busName].seconds(mprisPlayerName(choice.busName), mprisTrack(state), reported,
                                               mprisSeconds(state.metadata.value(QStringLiteral("mpris:length"))),
                                               state.status == u"Playing", readAt);
}

std::optional<double> MprisPlayerSource::correctedPosition(const MprisChoice& choice)
{
    return correctedPosition(choice, choice.state.position, QDateTime::currentDateTimeUtc());
}

// A playing player's position from a read that has just changed, carried on at rate 1 to the middle
// of this run, the instant the reply is dated to; without one, the position GetAll gave.
std::optional<double> MprisPlayerSource::freshPosition(const MprisChoice& choice, const QDateTime& runStart)
{
    if (choice.state.status != u"Playing")
        return correctedPosition(choice);
    const auto fresh = fresh_position::justChanged([this, &choice] { return readPosition(choice.busName); },
                                                   [](int milliseconds) { QThread::msleep(milliseconds); });
    if (!fresh)
        return correctedPosition(choice);
    const std::optional<double> seconds = correctedPosition(choice, fresh->position, fresh->at);
    if (!seconds)
        return std::nullopt;
    const QDateTime end = QDateTime::currentDateTimeUtc();
    const QDateTime middle = runStart.addMSecs(runStart.msecsTo(end) / 2);
    return *seconds + double(fresh->at.msecsTo(middle)) / 1000.0;
}

std::optional<fresh_position::Read> MprisPlayerSource::readPosition(const QString& busName) const
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        busName, playerPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    call << playerInterface << QStringLiteral("Position");
    const QDateTime sent = QDateTime::currentDateTimeUtc();
    const QDBusMessage reply = m_connection->call(call, QDBus::Block, callTimeoutMs);
    const QDateTime received = QDateTime::currentDateTimeUtc();
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    return fresh_position::Read{reply.arguments().constFirst().value<QDBusVariant>().variant(),
                                sent.addMSecs(sent.msecsTo(received) / 2)};
}

std::optional<double> MprisPlayerSource::spotifyPosition(const MprisChoice& choice)
{
    const std::optional<double> reported = correctedPosition(choice);
    if (!reported)
        return std::nullopt;
    return m_spotifyPositions[choice.busName].position(
        mprisTrack(choice.state), *reported, choice.state.status == u"Playing", QDateTime::currentDateTimeUtc());
}

void MprisPlayerSource::listenForSeeks(const QString& busName)
{
    if (m_seekRelays.contains(busName))
        return;
    auto relay = std::make_unique<MprisSeekedRelay>(
        [this, busName](qlonglong microseconds) { seeked(busName, microseconds); });
    m_connection->connect(busName, playerPath, playerInterface, QStringLiteral("Seeked"), relay.get(),
                          SLOT(seeked(qlonglong)));
    m_seekRelays.emplace(busName, std::move(relay));
}

void MprisPlayerSource::seeked(const QString& busName, qlonglong microseconds)
{
    if (isSpotifyBusName(busName))
        m_spotifyPositions[busName].seeked(double(microseconds) / 1e6, QDateTime::currentDateTimeUtc());
    if (busName == m_followed && m_onSeek)
        m_onSeek();
}

void MprisPlayerSource::forgetPlayersGone(const QStringList& busNames)
{
    std::erase_if(m_seekRelays, [&busNames](const auto& entry) { return !busNames.contains(entry.first); });
    m_positions.removeIf([&busNames](const auto& entry) { return !busNames.contains(entry.key()); });
    m_spotifyPositions.removeIf([&busNames](const auto& entry) { return !busNames.contains(entry.key()); });
}
