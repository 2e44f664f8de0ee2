#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <mutex>

// Which players the overlay follows, by player name (an MPRIS name such as "vlc" or "spotify",
// compared without case; an entry also covers the names that continue it after a dot). With a preferred list only those players count, asked in its order;
// without one every player counts but the ignored ones (browsers, phone bridges, proxies that
// would mirror another player or steal the overlay with a silent video).
struct PlayerPreferences {
    QStringList preferred;
    QStringList ignored = defaultIgnored();

    static QStringList defaultIgnored();

    bool follows(QStringView playerName) const;
    // Where in the preferred list the player stands; -1 when it is not in it.
    qsizetype preferenceRank(QStringView playerName) const;
    // The preferences after a click on the player in the menu: a followed player stops being
    // followed (it leaves the preferred list, and is ignored when no preferred list remains), an
    // unfollowed one is followed (no longer ignored; appended to a preferred list when there is one).
    PlayerPreferences toggledFollowing(const QString& playerName) const;

    friend bool operator==(const PlayerPreferences&, const PlayerPreferences&) = default;
};

// The preferences and the players last seen, shared between the settings (main thread) and the
// player query, which reads the preferences and reports the players on each run (its own thread).
class PlayerRoster {
public:
    static PlayerRoster& shared();

    void setPreferences(PlayerPreferences preferences);
    PlayerPreferences preferences() const;
    // Player names, once each, in the order first seen.
    void setPlayersSeen(QStringList names);
    QStringList playersSeen() const;

private:
    mutable std::mutex m_lock;
    PlayerPreferences m_preferences;
    QStringList m_playersSeen;
};
