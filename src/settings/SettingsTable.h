#pragma once

#include "settings/Color.h"
#include "settings/SettingsEnums.h"

#include <QJsonValue>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <variant>

class DefaultsStore;

// Every user setting, in the order `zuvik get` lists them.
enum class Setting {
    style,
    textColor,
    highlightColor,
    secondaryColor,
    autoSyncColors,
    keepScreenAwake,
    showWhenUnlocked,
    lyricFont,
    textScale,
    disabledDisplays,
    preferredPlayers,
    ignoredPlayers,
    lyricSources,
};

using SettingValue = std::variant<bool, double, LyricStyle, LyricFont, Color, QSet<quint32>, QStringList>;
// A value, or the words saying what the setting wants instead.
using ParsedSetting = std::variant<SettingValue, QString>;

// One setting: its stored key and form, its default, how a terminal writes and reads it, and how
// a change is logged. The store, AppSettings, `zuvik get/set` and the menu all go by these rows.
struct SettingRow {
    Setting id;
    QString key;
    QString values;  // what `zuvik set` takes, for its help text
    QString doc;  // what it does, for the help text
    SettingValue fallback;  // when the key is absent or not of the stored form
    std::function<std::optional<SettingValue>(const QJsonValue&)> fromJson;
    std::function<QJsonValue(const SettingValue&)> toJson;
    std::function<ParsedSetting(const QString&)> parse;  // text from a terminal
    std::function<QString(const SettingValue&)> format;  // as `zuvik get` prints it and `set` takes it back
    // The log line of a change once stored; empty for a setting whose changes are not logged.
    std::function<QString(const SettingValue&)> logLine;
    // Whether a change made by another process is logged (and its effects run) here too.
    bool followsOutsideChanges = false;

    // The stored value, or the fallback; never fails.
    SettingValue read(const DefaultsStore& store) const;
};

const QList<SettingRow>& settingRows();
const SettingRow& settingRow(Setting id);
const SettingRow* settingRow(const QString& key);
Setting colorSetting(ColorSlot slot);
std::optional<ColorSlot> colorSlotOf(Setting id);

// The text scales that make sense to draw: `zuvik set` refuses others, and a stored scale beyond
// them (the store keeps any number) is drawn at the nearer end.
inline constexpr double smallestTextScale = 0.25;
inline constexpr double largestTextScale = 4.0;
// The text scale as drawing uses it; not a number gives 1.
double drawingTextScale(double storedScale);

// A yes or no as a terminal writes it: true/false, on/off, yes/no, 1/0, in any case.
std::optional<bool> parseTrueFalse(const QString& text);
// "true" or "false", as `zuvik get` prints a yes or no.
QString trueFalse(bool on);

// The lyric sources a lookup may ask, by the names the lyrics layer knows them by.
const QStringList& knownLyricSources();

// A display ID as stored: decimal digits with an optional sign, within 0...4294967295.
std::optional<quint32> readDisplayId(QStringView text);
