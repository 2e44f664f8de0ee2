#pragma once

#include "settings/Color.h"
#include "playback/PlayerPreferences.h"
#include "settings/SettingsEnums.h"

#include <QJsonValue>
#include <QSet>
#include <QString>

#include <optional>

class DefaultsStore;

// Reading each setting from the store with its fallback; no read ever fails.
namespace stored_settings {

inline const QString styleKey = QStringLiteral("lyricStyle");
inline const QString autoSyncColorsKey = QStringLiteral("autoSyncColors");
inline const QString keepScreenAwakeKey = QStringLiteral("keepScreenAwake");
inline const QString showWhenUnlockedKey = QStringLiteral("showWhenUnlocked");
inline const QString lyricFontKey = QStringLiteral("lyricFont");
inline const QString textScaleKey = QStringLiteral("textScale");
inline const QString disabledDisplaysKey = QStringLiteral("disabledDisplays");
inline const QString preferredPlayersKey = QStringLiteral("preferredPlayers");
inline const QString ignoredPlayersKey = QStringLiteral("ignoredPlayers");

LyricStyle style(const DefaultsStore& store);
Color color(const DefaultsStore& store, ColorSlot slot);
bool autoSyncColors(const DefaultsStore& store);
// Absent or not a Boolean reads as true.
bool booleanDefaultingTrue(const DefaultsStore& store, const QString& key);
LyricFont lyricFont(const DefaultsStore& store);
double textScale(const DefaultsStore& store);
QSet<quint32> disabledDisplays(const DefaultsStore& store);
// Both lists are JSON arrays of names; an absent or malformed one is its default, and entries
// that are not strings or are blank are skipped.
PlayerPreferences playerPreferences(const DefaultsStore& store);

// A display ID as stored: decimal digits with an optional sign, within 0...4294967295.
std::optional<quint32> readDisplayId(QStringView text);

}  // namespace stored_settings
