#include "playback/PlayerPreferences.h"

#include <utility>

namespace {

// An entry names the player itself or the family it belongs to: "kdeconnect" covers
// "kdeconnect.mpris_phone".
bool matches(QStringView entry, QStringView name)
{
    if (!name.startsWith(entry, Qt::CaseInsensitive))
        return false;
    return name.size() == entry.size() || name.at(entry.size()) == u'.';
}

qsizetype indexIn(const QStringList& names, QStringView name)
{
    for (qsizetype i = 0; i < names.size(); ++i)
        if (matches(names[i], name))
            return i;
    return -1;
}

void removeAll(QStringList& names, QStringView name)
{
    names.removeIf([name](const QString& entry) { return matches(entry, name); });
}

}  // namespace

QStringList PlayerPreferences::defaultIgnored()
{
    return {QStringLiteral("firefox"),    QStringLiteral("chromium"),
            QStringLiteral("chrome"),     QStringLiteral("brave"),
            QStringLiteral("vivaldi"),    QStringLiteral("opera"),
            QStringLiteral("edge"),       QStringLiteral("plasma-browser-integration"),
            QStringLiteral("kdeconnect"), QStringLiteral("playerctld")};
}

qsizetype PlayerPreferences::preferenceRank(QStringView playerName) const { return indexIn(preferred, playerName); }

bool PlayerPreferences::follows(QStringView playerName) const
{
    if (!preferred.isEmpty())
        return preferenceRank(playerName) >= 0;
    return indexIn(ignored, playerName) < 0;
}

PlayerPreferences PlayerPreferences::toggledFollowing(const QString& playerName) const
{
    PlayerPreferences next = *this;
    if (follows(playerName)) {
        removeAll(next.preferred, playerName);
        if (next.preferred.isEmpty() && indexIn(next.ignored, playerName) < 0)
            next.ignored.append(playerName);
    } else {
        removeAll(next.ignored, playerName);
        if (!next.preferred.isEmpty())
            next.preferred.append(playerName);
    }
    return next;
}

PlayerRoster& PlayerRoster::shared()
{
    static PlayerRoster roster;
    return roster;
}

void PlayerRoster::setPreferences(PlayerPreferences preferences)
{
    const std::lock_guard guard(m_lock);
    m_preferences = std::move(preferences);
}

PlayerPreferences PlayerRoster::preferences() const
{
    const std::lock_guard guard(m_lock);
    return m_preferences;
}

void PlayerRoster::setPlayersSeen(QStringList names)
{
    const std::lock_guard guard(m_lock);
    m_playersSeen = std::move(names);
}

QStringList PlayerRoster::playersSeen() const
{
    const std::lock_guard guard(m_lock);
    return m_playersSeen;
}
