#include "settings/StoredSettings.h"

#include "settings/DefaultsStore.h"
#include "settings/UnsignedParse.h"

#include <QJsonArray>

namespace stored_settings {

namespace {

std::optional<QString> storedString(const DefaultsStore& store, const QString& key)
{
    const std::optional<QJsonValue> value = store.value(key);
    if (!value || !value->isString())
        return std::nullopt;
    return value->toString();
}

}  // namespace

LyricStyle style(const DefaultsStore& store)
{
    const auto raw = storedString(store, styleKey);
    return raw ? fromRawValue<LyricStyle>(*raw).value_or(LyricStyle::ship) : LyricStyle::ship;
}

Color color(const DefaultsStore& store, ColorSlot slot)
{
    const auto hex = storedString(store, colorKey(slot));
    const std::optional<Color> parsed = hex ? colorFromHex(*hex) : std::nullopt;
    return parsed.value_or(defaultColor(slot));
}

bool autoSyncColors(const DefaultsStore& store)
{
    const std::optional<QJsonValue> value = store.value(autoSyncColorsKey);
    return value && value->isBool() && value->toBool();
}

bool booleanDefaultingTrue(const DefaultsStore& store, const QString& key)
{
    const std::optional<QJsonValue> value = store.value(key);
    return value && value->isBool() ? value->toBool() : true;
}

LyricFont lyricFont(const DefaultsStore& store)
{
    const auto raw = storedString(store, lyricFontKey);
    return raw ? fromRawValue<LyricFont>(*raw).value_or(LyricFont::sfPro) : LyricFont::sfPro;
}

double textScale(const DefaultsStore& store)
{
    const std::optional<QJsonValue> value = store.value(textScaleKey);
    return value && value->isDouble() ? value->toDouble() : 1.0;
}

QSet<quint32> disabledDisplays(const DefaultsStore& store)
{
    QSet<quint32> displays;
    const std::optional<QJsonValue> value = store.value(disabledDisplaysKey);
    if (!value || !value->isArray())
        return displays;
    for (const QJsonValue& item : value->toArray()) {
        if (!item.isString())
            continue;
        if (const std::optional<quint32> id = readDisplayId(item.toString()))
            displays.insert(*id);
    }
    return displays;
}

namespace {

std::optional<QStringList> nameList(const DefaultsStore& store, const QString& key)
{
    const std::optional<QJsonValue> value = store.value(key);
    if (!value || !value->isArray())
        return std::nullopt;
    QStringList names;
    for (const QJsonValue& item : value->toArray()) {
        const QString name = item.toString().trimmed();
        if (!name.isEmpty())
            names.append(name);
    }
    return names;
}

}  // namespace

PlayerPreferences playerPreferences(const DefaultsStore& store)
{
    PlayerPreferences preferences;
    preferences.preferred = nameList(store, preferredPlayersKey).value_or(QStringList());
    preferences.ignored = nameList(store, ignoredPlayersKey).value_or(PlayerPreferences::defaultIgnored());
    return preferences;
}

std::optional<quint32> readDisplayId(QStringView text)
{
    const std::optional<quint64> value = readUnsigned(text, 10, 0xFFFFFFFFu);
    return value ? std::optional<quint32>(quint32(*value)) : std::nullopt;
}

}  // namespace stored_settings
