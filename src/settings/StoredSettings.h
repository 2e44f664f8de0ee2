#pragma once

#include "settings/Color.h"
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

LyricStyle style(const DefaultsStore& store);
Color color(const DefaultsStore& store, ColorSlot slot);
bool autoSyncColors(const DefaultsStore& store);
// Absent or not a Boolean reads as true.
bool booleanDefaultingTrue(const DefaultsStore& store, const QString& key);
LyricFont lyricFont(const DefaultsStore& store);
double textScale(const DefaultsStore& store);
QSet<quint32> disabledDisplays(const DefaultsStore& store);

// A display ID as stored: decimal digits with an optional sign, within 0...4294967295.
std::optional<quint32> readDisplayId(QStringView text);

}  // namespace stored_settings
