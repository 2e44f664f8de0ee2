#pragma once

#include "playback/ArtworkSource.h"
#include "playback/PlayerPreferences.h"

#include <QDBusConnection>
#include <QString>
#include <QUrl>

#include <optional>

// Old Spotify clients report their covers as "https://open.spotify.com/image/ID", a page that
// serves no picture; the same ID is served as a picture by "https://i.scdn.co/image/ID". Any
// other address comes back unchanged.
QUrl spotifyArtworkUrl(const QUrl& reported);

// The "mpris:artUrl" of the player the player query follows (Spotify first, then any other
// player, the playing one before a paused one): a web address to download or, for most local
// players, a file:// address of the cover they extracted. When Spotify's address is missing or
// unusable, the other players are asked, as the macOS scripts do.
class MprisArtworkSource : public ArtworkSource {
public:
    // Asks the players in the order of `roster`'s preferences.
    explicit MprisArtworkSource(PlayerRoster& roster);
    ~MprisArtworkSource() override;

    ArtworkLocation currentArtwork() override;

private:
    bool connect();

    PlayerRoster& m_roster;
    const QString m_connectionName;
    std::optional<QDBusConnection> m_connection;
};
