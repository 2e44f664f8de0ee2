#include "app/SettingsCommand.h"

#include "app/cli/AppOptions.h"
#include "foundation/DiagLog.h"
#include "settings/AppSettings.h"
#include "settings/JsonFileDefaultsStore.h"
#include "settings/StoredSettings.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

namespace {

constexpr int okStatus = 0;
constexpr int notDoneStatus = 1;
constexpr int badArgumentsStatus = 2;

void print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

QString joinedRawValues(auto table)
{
    QStringList names;
    for (const auto& [value, raw] : table)
        names.append(u'"' + raw.toString() + u'"');
    return names.join(QStringLiteral(", "));
}

// "SF Pro", "sf pro" and "sfPro" name the same family.
QString looseName(const QString& text)
{
    return text.toLower().remove(u' ');
}

std::variant<SettingValue, QString> readBoolean(const QString& text)
{
    const QString word = text.trimmed().toLower();
    if (word == u"true" || word == u"on" || word == u"yes" || word == u"1")
        return SettingValue(true);
    if (word == u"false" || word == u"off" || word == u"no" || word == u"0")
        return SettingValue(false);
    return QStringLiteral("wants true or false");
}

std::variant<SettingValue, QString> readScale(const QString& text)
{
    bool ok = false;
    const double scale = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(scale) || scale < smallestCommandTextScale || scale > largestCommandTextScale)
        return QStringLiteral("wants a number from %1 to %2").arg(smallestCommandTextScale).arg(largestCommandTextScale);
    return SettingValue(scale);
}

std::variant<SettingValue, QString> readColor(const QString& text)
{
    QString hex = text.trimmed();
    if (hex.startsWith(u'#'))
        hex.remove(0, 1);
    static const QRegularExpression hexDigits(QStringLiteral("^[0-9A-Fa-f]+$"));
    if (hex.size() == 6 && hexDigits.match(hex).hasMatch())
        hex += QStringLiteral("FF");  // opaque
    const std::optional<Color> color = hexDigits.match(hex).hasMatch() ? colorFromHex(hex) : std::nullopt;
    if (!color)
        return QStringLiteral("wants a colour as #RRGGBB or #RRGGBBAA");
    return SettingValue(*color);
}

std::variant<SettingValue, QString> readDisplays(const QString& text)
{
    QSet<quint32> displays;
    const QString list = text.trimmed();
    if (list.compare(u"none", Qt::CaseInsensitive) == 0)
        return SettingValue(displays);
    static const QRegularExpression separators(QStringLiteral("[,\\s]+"));
    for (const QString& item : list.split(separators, Qt::SkipEmptyParts)) {
        const std::optional<quint32> id = stored_settings::readDisplayId(item);
        if (!id)
            return QStringLiteral("wants display IDs (0 to 4294967295) separated by commas, not \"%1\"").arg(item);
        displays.insert(*id);
    }
    return SettingValue(displays);
}

// Player names as MPRIS spells them ("vlc", "spotify", "plasma-browser-integration").
std::variant<SettingValue, QString> readPlayers(const QString& text)
{
    QStringList names;
    const QString list = text.trimmed();
    if (list.compare(u"none", Qt::CaseInsensitive) == 0)
        return SettingValue(names);
    static const QRegularExpression separators(QStringLiteral("[,\\s]+"));
    static const QRegularExpression playerName(QStringLiteral("^[A-Za-z0-9_.-]+$"));
    for (QString item : list.split(separators, Qt::SkipEmptyParts)) {
        item.remove(QRegularExpression(QStringLiteral("^org\\.mpris\\.MediaPlayer2\\.")));
        if (!playerName.match(item).hasMatch())
            return QStringLiteral("wants player names (letters, digits, '.', '_', '-') separated by commas, not \"%1\"").arg(item);
        if (!names.contains(item, Qt::CaseInsensitive))
            names.append(item);
    }
    return SettingValue(names);
}

const SettingRow* rowFor(const QString& key)
{
    const QList<SettingRow>& rows = settingRows();
    const auto row = std::find_if(rows.begin(), rows.end(), [&key](const SettingRow& r) { return r.key == key; });
    return row == rows.end() ? nullptr : &*row;
}

QString keyList()
{
    QStringList keys;
    for (const SettingRow& row : settingRows())
        keys.append(row.key);
    return keys.join(QStringLiteral(", "));
}

QString helpText()
{
    QString text = QStringLiteral(
        "Usage: zuvik set KEY VALUE\n"
        "       zuvik get [KEY]\n"
        "Changes or shows a setting; a running Zuvik follows a change at once.\n\nKeys:\n");
    for (const SettingRow& row : settingRows())
        text += QStringLiteral("  %1\n      %2; %3\n").arg(row.key, row.doc, row.values);
    return text;
}

int unknownKey(std::FILE* err, const QString& key)
{
    print(err, QStringLiteral("zuvik: unknown setting \"%1\"; the keys are %2\n").arg(key, keyList()));
    return badArgumentsStatus;
}

// When the defaults file cannot be read, or the last change could not be written: the reason,
// printed, and the status to exit with.
std::optional<int> storeFailure(const AppSettings& settings, const QString& command, std::FILE* err)
{
    const QString problem = settings.storeProblem();
    if (problem.isEmpty())
        return std::nullopt;
    print(err, command + QStringLiteral(": ") + problem + u'\n');
    return notDoneStatus;
}

int runGet(const QStringList& words, const AppSettings& settings, std::FILE* out, std::FILE* err)
{
    if (words.size() > 1) {
        print(err, QStringLiteral("zuvik: get takes at most one key\n") + helpText());
        return badArgumentsStatus;
    }
    // The defaults would be shown as if they were the user's settings.
    if (const std::optional<int> status = storeFailure(settings, QStringLiteral("zuvik get"), err))
        return *status;
    if (words.isEmpty()) {
        for (const SettingRow& row : settingRows())
            print(out, row.key + u'\t' + settingText(settings, row) + u'\n');
        return okStatus;
    }
    const SettingRow* row = rowFor(words.first());
    if (!row)
        return unknownKey(err, words.first());
    print(out, settingText(settings, *row) + u'\n');
    return okStatus;
}

int runSet(const QStringList& words, AppSettings& settings, std::FILE* err)
{
    if (words.size() != 2) {
        print(err, QStringLiteral("zuvik: set takes a key and a value\n") + helpText());
        return badArgumentsStatus;
    }
    const SettingRow* row = rowFor(words[0]);
    if (!row)
        return unknownKey(err, words[0]);
    const auto value = parseSettingValue(*row, words[1]);
    if (const QString* problem = std::get_if<QString>(&value)) {
        print(err, QStringLiteral("zuvik: %1 %2, not \"%3\"\n").arg(row->key, *problem, words[1]));
        return badArgumentsStatus;
    }
    // A file that cannot be read is left as it is: nothing is tried.
    if (const std::optional<int> status = storeFailure(settings, QStringLiteral("zuvik set"), err))
        return *status;
    applySetting(settings, *row, std::get<SettingValue>(value));
    return storeFailure(settings, QStringLiteral("zuvik set"), err).value_or(okStatus);
}

}  // namespace

const QList<SettingRow>& settingRows()
{
    using namespace settings_detail;
    static const QList<SettingRow> rows = {
        {stored_settings::styleKey, SettingKind::style, joinedRawValues(lyricStyles), QStringLiteral("the look of the overlay")},
        {colorKey(ColorSlot::text), SettingKind::color, QStringLiteral("#RRGGBB or #RRGGBBAA"), QStringLiteral("the colour of the lyric text")},
        {colorKey(ColorSlot::highlight), SettingKind::color, QStringLiteral("#RRGGBB or #RRGGBBAA"), QStringLiteral("the colour of the word being sung")},
        {colorKey(ColorSlot::secondary), SettingKind::color, QStringLiteral("#RRGGBB or #RRGGBBAA"), QStringLiteral("the colour of the secondary text")},
        {stored_settings::autoSyncColorsKey, SettingKind::boolean, QStringLiteral("true or false"), QStringLiteral("take the three colours from the album artwork")},
        {stored_settings::keepScreenAwakeKey, SettingKind::boolean, QStringLiteral("true or false"), QStringLiteral("keep the display awake while music plays")},
        {stored_settings::showWhenUnlockedKey, SettingKind::boolean, QStringLiteral("true or false"), QStringLiteral("show the overlay on the desktop, not only over the lock screen")},
        {stored_settings::lyricFontKey, SettingKind::font, joinedRawValues(lyricFonts), QStringLiteral("the font family of the lyrics")},
        {stored_settings::textScaleKey, SettingKind::scale,
         QStringLiteral("a number from %1 to %2").arg(smallestCommandTextScale).arg(largestCommandTextScale),
         QStringLiteral("the size of the lyrics, as a multiple of the base size")},
        {stored_settings::disabledDisplaysKey, SettingKind::displays, QStringLiteral("display IDs separated by commas, or none"),
         QStringLiteral("the displays that show no overlay")},
        {stored_settings::preferredPlayersKey, SettingKind::players, QStringLiteral("player names separated by commas, or none"),
         QStringLiteral("follow only these players, in this order (none: any player not ignored)")},
        {stored_settings::ignoredPlayersKey, SettingKind::players, QStringLiteral("player names separated by commas, or none"),
         QStringLiteral("players never followed while no preferred players are set")},
    };
    return rows;
}

std::variant<SettingValue, QString> parseSettingValue(const SettingRow& row, const QString& text)
{
    switch (row.kind) {
    case SettingKind::style:
        if (const std::optional<LyricStyle> style = styleFromName(text))
            return SettingValue(*style);
        return QStringLiteral("wants one of ") + row.values;
    case SettingKind::font:
        for (const auto& [font, raw] : settings_detail::lyricFonts) {
            if (looseName(raw.toString()) == looseName(text.trimmed()))
                return SettingValue(font);
        }
        return QStringLiteral("wants one of ") + row.values;
    case SettingKind::boolean:
        return readBoolean(text);
    case SettingKind::scale:
        return readScale(text);
    case SettingKind::color:
        return readColor(text);
    case SettingKind::displays:
        return readDisplays(text);
    case SettingKind::players:
        return readPlayers(text);
    }
    Q_UNREACHABLE();
}

void applySetting(AppSettings& settings, const SettingRow& row, const SettingValue& value)
{
    if (row.key == stored_settings::styleKey)
        settings.setStyle(std::get<LyricStyle>(value));
    else if (row.key == stored_settings::autoSyncColorsKey)
        settings.setAutoSyncColors(std::get<bool>(value));
    else if (row.key == stored_settings::keepScreenAwakeKey)
        settings.setKeepScreenAwake(std::get<bool>(value));
    else if (row.key == stored_settings::showWhenUnlockedKey)
        settings.setShowWhenUnlocked(std::get<bool>(value));
    else if (row.key == stored_settings::lyricFontKey)
        settings.setLyricFont(std::get<LyricFont>(value));
    else if (row.key == stored_settings::textScaleKey)
        settings.setTextScale(std::get<double>(value));
    else if (row.key == stored_settings::disabledDisplaysKey)
        settings.setDisabledDisplays(std::get<QSet<quint32>>(value));
    else if (row.key == stored_settings::preferredPlayersKey || row.key == stored_settings::ignoredPlayersKey) {
        PlayerPreferences preferences = settings.playerPreferences();
        (row.key == stored_settings::preferredPlayersKey ? preferences.preferred : preferences.ignored) =
            std::get<QStringList>(value);
        settings.setPlayerPreferences(preferences);
    }
    else {
        for (ColorSlot slot : allColorSlots) {
            if (row.key == colorKey(slot))
                settings.setColor(std::get<Color>(value), slot);
        }
    }
}

QString settingText(const AppSettings& settings, const SettingRow& row)
{
    const auto onOff = [](bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); };
    if (row.key == stored_settings::styleKey)
        return rawValue(settings.style());
    if (row.key == stored_settings::autoSyncColorsKey)
        return onOff(settings.autoSyncColors());
    if (row.key == stored_settings::keepScreenAwakeKey)
        return onOff(settings.keepScreenAwake());
    if (row.key == stored_settings::showWhenUnlockedKey)
        return onOff(settings.showWhenUnlocked());
    if (row.key == stored_settings::lyricFontKey)
        return rawValue(settings.lyricFont());
    if (row.key == stored_settings::textScaleKey)
        return QString::number(settings.textScale());
    if (row.key == stored_settings::disabledDisplaysKey) {
        QList<quint32> ids = settings.disabledDisplays().values();
        std::sort(ids.begin(), ids.end());
        QStringList texts;
        for (quint32 id : ids)
            texts.append(QString::number(id));
        return texts.isEmpty() ? QStringLiteral("none") : texts.join(u',');
    }
    if (row.key == stored_settings::preferredPlayersKey || row.key == stored_settings::ignoredPlayersKey) {
        const PlayerPreferences& players = settings.playerPreferences();
        const QStringList& names = row.key == stored_settings::preferredPlayersKey ? players.preferred : players.ignored;
        return names.isEmpty() ? QStringLiteral("none") : names.join(u',');
    }
    for (ColorSlot slot : allColorSlots) {
        if (row.key == colorKey(slot))
            return colorHexString(settings.color(slot));
    }
    return {};
}

bool isSettingsCommand(const QStringList& arguments)
{
    return arguments.size() > 1 && (arguments[1] == u"set" || arguments[1] == u"get");
}

int runSettingsCommand(const QStringList& arguments, AppSettings& settings, std::FILE* out, std::FILE* err)
{
    const QStringList words = arguments.mid(2);
    if (words.contains(u"--help") || words.contains(u"-h")) {
        print(out, helpText());
        return okStatus;
    }
    if (arguments.value(1) == u"get")
        return runGet(words, settings, out, err);
    return runSet(words, settings, err);
}

int runSettingsCommand(const QStringList& arguments)
{
    JsonFileDefaultsStore store(JsonFileDefaultsStore::defaultFilePath());
    AppSettings settings(store);
    const int status = runSettingsCommand(arguments, settings, stdout, stderr);
    DiagLog::shared().waitUntilWritten();
    return status;
}
