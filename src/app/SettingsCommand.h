#pragma once

#include "settings/Color.h"
#include "settings/SettingsEnums.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <variant>

class AppSettings;

// `zuvik set KEY VALUE` and `zuvik get [KEY]`: the settings from a terminal, under the keys of the
// defaults store. A set goes through AppSettings, so it is stored, logged and validated as a
// change from the menu is; a running copy sees the file change and follows.

enum class SettingKind { style, color, boolean, font, scale, displays, players };

struct SettingRow {
    QString key;
    SettingKind kind;
    QString values;  // what VALUE may be, for the help text
    QString doc;
};

// Every key, in the store's order.
const QList<SettingRow>& settingRows();

// A value read from the command line, ready for its setter.
using SettingValue = std::variant<LyricStyle, Color, bool, LyricFont, double, QSet<quint32>, QStringList>;
// The value, or a message saying what the key wants.
std::variant<SettingValue, QString> parseSettingValue(const SettingRow& row, const QString& text);

// The text scales the overlay draws at (see drawingTextScale).
inline constexpr double smallestCommandTextScale = 0.25;
inline constexpr double largestCommandTextScale = 4.0;

void applySetting(AppSettings& settings, const SettingRow& row, const SettingValue& value);
// The current value as `get` prints it (and `set` accepts it back).
QString settingText(const AppSettings& settings, const SettingRow& row);

bool isSettingsCommand(const QStringList& arguments);
// Runs the command named by arguments[1] ("set" or "get"); the process's exit status: 0; 1 when
// the defaults file cannot be read or the change cannot be written (with a message); or 2 for an
// unknown key, a bad value or wrong arguments.
int runSettingsCommand(const QStringList& arguments);
// As runSettingsCommand, over the given settings; output and errors go to the given streams.
int runSettingsCommand(const QStringList& arguments, AppSettings& settings, std::FILE* out, std::FILE* err);
