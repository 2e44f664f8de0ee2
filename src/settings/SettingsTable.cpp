#include "settings/SettingsTable.h"

#include "playback/PlayerPreferences.h"
#include "settings/DefaultsStore.h"
#include "settings/UnsignedParse.h"

#include <QJsonArray>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

QString quotedRawValues(auto table)
{
    QStringList names;
    for (const auto& [value, raw] : table)
        names.append(u'"' + raw.toString() + u'"');
    return names.join(QStringLiteral(", "));
}

// A list of words from a terminal: "none" is the empty list.
std::optional<QStringList> listWords(const QString& text)
{
    const QString list = text.trimmed();
    if (list.compare(u"none", Qt::CaseInsensitive) == 0)
        return std::nullopt;
    static const QRegularExpression separators(QStringLiteral("[,\\s]+"));
    return list.split(separators, Qt::SkipEmptyParts);
}

// A row of one of the named values of an enumeration, stored as its raw value. A terminal may
// write it loosely: `squeeze` gives the form in which the text and each raw value are compared.
template <typename Enum, std::size_t N>
SettingRow choiceRow(Setting id, QString key, const settings_detail::RawTable<Enum, N>& table, Enum fallback,
                     QString doc, QString logName, QString (*squeeze)(QString))
{
    const QString values = quotedRawValues(table);
    return {
        id,
        std::move(key),
        values,
        std::move(doc),
        fallback,
        [&table](const QJsonValue& json) -> std::optional<SettingValue> {
            if (!json.isString())
                return std::nullopt;
            if (const std::optional<Enum> value = settings_detail::fromRawValueIn(table, QStringView(json.toString())))
                return *value;
            return std::nullopt;
        },
        [](const SettingValue& v) { return QJsonValue(rawValue(std::get<Enum>(v))); },
        [&table, values, squeeze](const QString& text) -> ParsedSetting {
            for (const auto& [value, raw] : table) {
                if (squeeze(raw.toString()) == squeeze(text))
                    return SettingValue(value);
            }
            return QStringLiteral("wants one of ") + values;
        },
        [](const SettingValue& v) { return rawValue(std::get<Enum>(v)); },
        [logName](const SettingValue& v) { return logName + QStringLiteral(" → ") + rawValue(std::get<Enum>(v)); },
    };
}

}  // namespace

QString trueFalse(bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); }

std::optional<bool> parseTrueFalse(const QString& text)
{
    const QString word = text.trimmed().toLower();
    if (word == u"true" || word == u"on" || word == u"yes" || word == u"1")
        return true;
    if (word == u"false" || word == u"off" || word == u"no" || word == u"0")
        return false;
    return std::nullopt;
}

namespace {

SettingRow booleanRow(Setting id, QString key, bool fallback, QString doc, QString logName = {})
{
    SettingRow row{
        id,
        std::move(key),
        QStringLiteral("true or false"),
        std::move(doc),
        fallback,
        [](const QJsonValue& json) {
            return json.isBool() ? std::optional<SettingValue>(json.toBool()) : std::nullopt;
        },
        [](const SettingValue& v) { return QJsonValue(std::get<bool>(v)); },
        [](const QString& text) -> ParsedSetting {
            if (const std::optional<bool> on = parseTrueFalse(text))
                return SettingValue(*on);
            return QStringLiteral("wants true or false");
        },
        [](const SettingValue& v) { return trueFalse(std::get<bool>(v)); },
        {},
    };
    if (!logName.isEmpty())
        row.logLine = [logName](const SettingValue& v) {
            return logName + QStringLiteral(" → ") + trueFalse(std::get<bool>(v));
        };
    return row;
}

SettingRow colorRow(ColorSlot slot, QString doc)
{
    return {
        colorSetting(slot),
        colorKey(slot),
        QStringLiteral("#RRGGBB or #RRGGBBAA"),
        std::move(doc),
        defaultColor(slot),
        [](const QJsonValue& json) -> std::optional<SettingValue> {
            if (!json.isString())
                return std::nullopt;
            if (const std::optional<Color> color = colorFromHex(json.toString()))
                return *color;
            return std::nullopt;
        },
        [](const SettingValue& v) { return QJsonValue(colorHexString(std::get<Color>(v))); },
        [](const QString& text) -> ParsedSetting {
            QString hex = text.trimmed();
            if (hex.startsWith(u'#'))
                hex.remove(0, 1);
            // Only digits: the stored form's reader also takes a sign, which a person never means.
            static const QRegularExpression hexDigits(QStringLiteral("^[0-9A-Fa-f]+$"));
            if (hex.size() == 6 && hexDigits.match(hex).hasMatch())
                hex += QStringLiteral("FF");  // opaque
            const std::optional<Color> color = hexDigits.match(hex).hasMatch() ? colorFromHex(hex) : std::nullopt;
            if (!color)
                return QStringLiteral("wants a colour as #RRGGBB or #RRGGBBAA");
            return SettingValue(*color);
        },
        [](const SettingValue& v) { return colorHexString(std::get<Color>(v)); },
        {},
    };
}

SettingRow textScaleRow()
{
    const QString range = QStringLiteral("a number from %1 to %2").arg(smallestTextScale).arg(largestTextScale);
    return {
        Setting::textScale,
        QStringLiteral("textScale"),
        range,
        QStringLiteral("the size of the lyrics, as a multiple of the base size"),
        1.0,
        [](const QJsonValue& json) {
            return json.isDouble() ? std::optional<SettingValue>(json.toDouble()) : std::nullopt;
        },
        [](const SettingValue& v) { return QJsonValue(std::get<double>(v)); },
        [range](const QString& text) -> ParsedSetting {
            bool ok = false;
            const double scale = QLocale::c().toDouble(text.trimmed(), &ok);
            if (!ok || !std::isfinite(scale) || scale < smallestTextScale || scale > largestTextScale)
                return QStringLiteral("wants ") + range;
            return SettingValue(scale);
        },
        [](const SettingValue& v) { return QString::number(std::get<double>(v)); },
        {},
    };
}

SettingRow displaysRow()
{
    return {
        Setting::disabledDisplays,
        QStringLiteral("disabledDisplays"),
        QStringLiteral("display IDs separated by commas, or none"),
        QStringLiteral("the displays that show no overlay"),
        QSet<quint32>(),
        [](const QJsonValue& json) -> std::optional<SettingValue> {
            if (!json.isArray())
                return std::nullopt;
            QSet<quint32> displays;
            for (const QJsonValue& item : json.toArray()) {
                if (item.isString()) {
                    if (const std::optional<quint32> id = readDisplayId(item.toString()))
                        displays.insert(*id);
                }
            }
            return displays;
        },
        [](const SettingValue& v) {
            QJsonArray ids;
            for (quint32 id : std::get<QSet<quint32>>(v))
                ids.append(QString::number(id));
            return QJsonValue(ids);
        },
        [](const QString& text) -> ParsedSetting {
            QSet<quint32> displays;
            for (const QString& item : listWords(text).value_or(QStringList())) {
                const std::optional<quint32> id = readDisplayId(item);
                if (!id)
                    return QStringLiteral("wants display IDs (0 to 4294967295) separated by commas, not \"%1\"")
                        .arg(item);
                displays.insert(*id);
            }
            return SettingValue(displays);
        },
        [](const SettingValue& v) {
            QList<quint32> ids = std::get<QSet<quint32>>(v).values();
            std::sort(ids.begin(), ids.end());
            QStringList texts;
            for (quint32 id : ids)
                texts.append(QString::number(id));
            return texts.isEmpty() ? QStringLiteral("none") : texts.join(u',');
        },
        {},
    };
}

// Player names as MPRIS spells them ("vlc", "spotify", "plasma-browser-integration").
SettingRow playersRow(Setting id, QString key, QStringList fallback, QString doc)
{
    const QString logName = key;
    return {
        id,
        std::move(key),
        QStringLiteral("player names separated by commas, or none"),
        std::move(doc),
        std::move(fallback),
        [](const QJsonValue& json) -> std::optional<SettingValue> {
            if (!json.isArray())
                return std::nullopt;
            QStringList names;
            for (const QJsonValue& item : json.toArray()) {
                const QString name = item.toString().trimmed();  // not a string: empty, skipped
                if (!name.isEmpty())
                    names.append(name);
            }
            return names;
        },
        [](const SettingValue& v) { return QJsonValue(QJsonArray::fromStringList(std::get<QStringList>(v))); },
        [](const QString& text) -> ParsedSetting {
            QStringList names;
            static const QRegularExpression busPrefix(QStringLiteral("^org\\.mpris\\.MediaPlayer2\\."));
            static const QRegularExpression playerName(QStringLiteral("^[A-Za-z0-9_.-]+$"));
            for (QString item : listWords(text).value_or(QStringList())) {
                item.remove(busPrefix);
                if (!playerName.match(item).hasMatch())
                    return QStringLiteral(
                               "wants player names (letters, digits, '.', '_', '-') separated by commas, not \"%1\"")
                        .arg(item);
                if (!names.contains(item, Qt::CaseInsensitive))
                    names.append(item);
            }
            return SettingValue(names);
        },
        [](const SettingValue& v) {
            const QStringList& names = std::get<QStringList>(v);
            return names.isEmpty() ? QStringLiteral("none") : names.join(u',');
        },
        [logName](const SettingValue& v) {
            const QStringList& names = std::get<QStringList>(v);
            return logName + QStringLiteral(" → ")
                   + (names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", ")));
        },
    };
}

// The order of lyric sources: an array of known names, each once, at least one. Stored otherwise
// (by hand, or by a build that knew other sources) it is the default, as any unreadable setting.
SettingRow lyricSourcesRow()
{
    const QStringList fallback = knownLyricSources();
    const QString known = fallback.join(QStringLiteral(", "));
    return {
        Setting::lyricSources,
        QStringLiteral("lyricSources"),
        QStringLiteral("source names in the order they are asked, separated by commas: ") + known,
        QStringLiteral("where lyrics are looked for, in this order; the first with usable lyrics wins"),
        fallback,
        [](const QJsonValue& json) -> std::optional<SettingValue> {
            if (!json.isArray() || json.toArray().isEmpty())
                return std::nullopt;
            QStringList names;
            for (const QJsonValue& item : json.toArray()) {
                if (!knownLyricSources().contains(item.toString()) || names.contains(item.toString()))
                    return std::nullopt;
                names.append(item.toString());
            }
            return names;
        },
        [](const SettingValue& v) { return QJsonValue(QJsonArray::fromStringList(std::get<QStringList>(v))); },
        [known](const QString& text) -> ParsedSetting {
            QStringList names;
            for (const QString& item : listWords(text).value_or(QStringList())) {
                const QString name = item.toLower();
                if (!knownLyricSources().contains(name))
                    return QStringLiteral("wants source names (%1) separated by commas, not \"%2\"").arg(known, item);
                if (!names.contains(name))
                    names.append(name);
            }
            if (names.isEmpty())
                return QStringLiteral("wants at least one source (%1)").arg(known);
            return SettingValue(names);
        },
        [](const SettingValue& v) { return std::get<QStringList>(v).join(u','); },
        [](const SettingValue& v) {
            return QStringLiteral("lyric sources → ") + std::get<QStringList>(v).join(QStringLiteral(", "));
        },
    };
}

QString styleSqueezed(QString name) { return name.trimmed().toLower().remove(u' ').remove(u'-').remove(u'_'); }

// "SF Pro", "sf pro" and "sfPro" name the same family.
QString fontSqueezed(QString name) { return name.trimmed().toLower().remove(u' '); }

QList<SettingRow> makeRows()
{
    using namespace settings_detail;
    QList<SettingRow> rows = {
        choiceRow(Setting::style, QStringLiteral("lyricStyle"), lyricStyles, LyricStyle::ship,
                  QStringLiteral("the look of the overlay"), QStringLiteral("style"), styleSqueezed),
        colorRow(ColorSlot::text, QStringLiteral("the colour of the lyric text")),
        colorRow(ColorSlot::highlight, QStringLiteral("the colour of the word being sung")),
        colorRow(ColorSlot::secondary, QStringLiteral("the colour of the secondary text")),
        booleanRow(Setting::autoSyncColors, QStringLiteral("autoSyncColors"), false,
                   QStringLiteral("take the three colours from the album artwork"), QStringLiteral("auto sync colors")),
        booleanRow(Setting::keepScreenAwake, QStringLiteral("keepScreenAwake"), true,
                   QStringLiteral("keep the display awake while music plays"), QStringLiteral("keep screen awake")),
        booleanRow(Setting::showWhenUnlocked, QStringLiteral("showWhenUnlocked"), true,
                   QStringLiteral("show the overlay on the desktop, not only over the lock screen"),
                   QStringLiteral("non-lockscreen visibility")),
        choiceRow(Setting::lyricFont, QStringLiteral("lyricFont"), lyricFonts, LyricFont::sfPro,
                  QStringLiteral("the font family of the lyrics"), QStringLiteral("font"), fontSqueezed),
        textScaleRow(),
        displaysRow(),
        playersRow(Setting::preferredPlayers, QStringLiteral("preferredPlayers"), {},
                   QStringLiteral("follow only these players, in this order (none: any player not ignored)")),
        playersRow(Setting::ignoredPlayers, QStringLiteral("ignoredPlayers"), PlayerPreferences::defaultIgnored(),
                   QStringLiteral("players never followed while no preferred players are set")),
        lyricSourcesRow(),
    };
    // Their changes have effects on other services, which follow another process's change too.
    rows[int(Setting::autoSyncColors)].followsOutsideChanges = true;
    rows[int(Setting::keepScreenAwake)].followsOutsideChanges = true;
    return rows;
}

}  // namespace

SettingValue SettingRow::read(const DefaultsStore& store) const
{
    const std::optional<QJsonValue> json = store.value(key);
    return (json ? fromJson(*json) : std::nullopt).value_or(fallback);
}

const QList<SettingRow>& settingRows()
{
    static const QList<SettingRow> rows = makeRows();
    return rows;
}

const SettingRow& settingRow(Setting id) { return settingRows()[int(id)]; }

const SettingRow* settingRow(const QString& key)
{
    const QList<SettingRow>& rows = settingRows();
    const auto row = std::find_if(rows.begin(), rows.end(), [&key](const SettingRow& r) { return r.key == key; });
    return row == rows.end() ? nullptr : &*row;
}

Setting colorSetting(ColorSlot slot) { return Setting(int(Setting::textColor) + int(slot)); }

std::optional<ColorSlot> colorSlotOf(Setting id)
{
    const int offset = int(id) - int(Setting::textColor);
    return offset >= 0 && offset < int(allColorSlots.size()) ? std::optional(allColorSlots[offset]) : std::nullopt;
}

double drawingTextScale(double storedScale)
{
    if (std::isnan(storedScale))
        return 1.0;
    return std::clamp(storedScale, smallestTextScale, largestTextScale);
}

const QStringList& knownLyricSources()
{
    static const QStringList names{QStringLiteral("ncm"), QStringLiteral("lrclib")};
    return names;
}

std::optional<quint32> readDisplayId(QStringView text)
{
    const std::optional<quint64> value = readUnsigned(text, 10, 0xFFFFFFFFu);
    return value ? std::optional<quint32>(quint32(*value)) : std::nullopt;
}
