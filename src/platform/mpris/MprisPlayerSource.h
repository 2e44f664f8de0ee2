#pragma once

#include "platform/mpris/FreshPosition.h"
#include "platform/mpris/MprisBusNames.h"
#include "platform/mpris/MprisPlayerChoice.h"
#include "platform/mpris/MprisPlayerState.h"
#include "platform/mpris/MprisSeekedRelay.h"
#include "platform/mpris/PositionCorrector.h"
#include "platform/mpris/SpotifyPositionFallback.h"
#include "playback/PlayerPreferences.h"
#include "playback/PlayerSource.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QHash>

#include <map>
#include <memory>
#include <optional>

// Answers the player query from the MPRIS players on the session bus. Spotify
// ("org.mpris.MediaPlayer2.spotify", and its ".instance…" names) is asked first and stands in for
// "spotify"; any other player stands in for "music". In each group the first player that is
// Playing wins, else the first Paused one, in sorted bus-name order.
//
// Lives on the query thread: it is made there, its calls block there, and the Seeked signals it
// listens to are delivered there between runs.
class MprisPlayerSource : public PlayerSource {
public:
    // A player that takes longer than this to answer fails the run.
    static constexpr int callTimeoutMs = 1000;

    // Reads the preferences from `roster` and reports there the players it sees, on every ask.
    explicit MprisPlayerSource(PlayerRoster& roster);
    ~MprisPlayerSource() override;

    PlayerResult read() override;
    void setSeekListener(std::function<void()> onSeek) override { m_onSeek = std::move(onSeek); }
    // In D-Bus's terms, not the player script's.
    QStringList failureLines(const PlayerError& error) const override;
    QString nothingPlayingLine() const override;

private:
    bool connect();
    std::optional<double> spotifyPosition(const MprisChoice& choice);
    std::optional<double> correctedPosition(const MprisChoice& choice);
    std::optional<double> correctedPosition(const MprisChoice& choice, const QVariant& reported,
                                            const QDateTime& readAt);
    std::optional<double> freshPosition(const MprisChoice& choice, const QDateTime& runStart);
    std::optional<fresh_position::Read> readPosition(const QString& busName) const;
    void listenForSeeks(const QString& busName);
    void seeked(const QString& busName, qlonglong microseconds);
    void forgetPlayersGone(const QStringList& busNames);

    PlayerRoster& m_roster;
    const QString m_connectionName;
    std::optional<QDBusConnection> m_connection;
    std::unique_ptr<MprisBusNames> m_busNames;  // on m_connection
    QHash<QString, SpotifyPositionFallback> m_spotifyPositions;
    QHash<QString, PositionCorrector> m_positions;
    std::map<QString, std::unique_ptr<MprisSeekedRelay>> m_seekRelays;
    QString m_followed;  // the bus name of the player the last run reported
    std::function<void()> m_onSeek;
};
