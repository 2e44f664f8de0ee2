#include "platform/mpris/MprisArtworkSource.h"

#include "platform/mpris/MprisPlayerChoice.h"
#include "platform/mpris/MprisPlayerNames.h"
#include "platform/mpris/MprisPlayerSource.h"

namespace {

// An address worth handing on: it parses and says how to reach it.
std::optional<QUrl> artworkAddress(const MprisChoice& choice)
{
    const QVariant value = choice.state.metadata.value(QStringLiteral("mpris:artUrl"));
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    QUrl url(value.toString().trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty())
        return std::nullopt;
    return isSpotifyBusName(choice.busName) ? spotifyArtworkUrl(url) : url;
}

}  // namespace

QUrl spotifyArtworkUrl(const QUrl& reported)
{
    const QString prefix = QStringLiteral("/image/");
    const QString path = reported.path();
    const bool isPageAddress = (reported.scheme() == u"https" || reported.scheme() == u"http")
                               && reported.host() == u"open.spotify.com" && path.startsWith(prefix)
                               && path.size() > prefix.size() && !path.sliced(prefix.size()).contains(u'/');
    if (!isPageAddress)
        return reported;
    QUrl picture;
    picture.setScheme(QStringLiteral("https"));
    picture.setHost(QStringLiteral("i.scdn.co"));
    picture.setPath(path);
    return picture;
}

MprisArtworkSource::MprisArtworkSource(PlayerRoster& roster)
    : m_roster(roster)
    , m_connectionName(QStringLiteral("zuvik-mpris-artwork-%1").arg(quintptr(this), 0, 16))
{}

MprisArtworkSource::~MprisArtworkSource()
{
    m_connection.reset();
    QDBusConnection::disconnectFromBus(m_connectionName);
}

ArtworkLocation MprisArtworkSource::currentArtwork()
{
    // Failures to reach the bus or a player are not reported here: the job logs that it found no artwork.
    if (!connect())
        return {};
    const auto listed = listBusNames(*m_connection, MprisPlayerSource::callTimeoutMs);
    if (std::holds_alternative<QDBusError>(listed))
        return {};
    const auto groups = mprisPlayerGroups(std::get<QStringList>(listed), m_roster.preferences());
    for (const QStringList& group : groups) {
        const MprisFound found = chooseMprisPlayer(*m_connection, group, MprisPlayerSource::callTimeoutMs);
        if (std::holds_alternative<QDBusError>(found))
            return {};
        if (const auto& choice = std::get<std::optional<MprisChoice>>(found)) {
            if (const std::optional<QUrl> url = artworkAddress(*choice))
                return *url;
        }
    }
    return {};
}

bool MprisArtworkSource::connect()
{
    if (m_connection && m_connection->isConnected())
        return true;
    // A bus that went away (or never was) is tried afresh on every job.
    if (m_connection) {
        m_connection.reset();
        QDBusConnection::disconnectFromBus(m_connectionName);
    }
    m_connection = QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_connectionName);
    return m_connection->isConnected();
}
