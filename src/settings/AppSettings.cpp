#include "settings/AppSettings.h"

#include "foundation/DiagLog.h"
#include "foundation/UserFolders.h"
#include "settings/JsonFileDefaultsStore.h"

#include <algorithm>
#include <cmath>
#include <utility>

AppSettings& AppSettings::shared()
{
    // Both live for the whole process; settings are written as they change, so nothing is owed at exit.
    static JsonFileDefaultsStore* const store = new JsonFileDefaultsStore(UserFolders::settingsFile());
    static AppSettings* const instance = new AppSettings(*store, store);
    return *instance;
}

AppSettings::AppSettings(DefaultsStore& store, QObject* parent)
    : QObject(parent)
    , m_store(store)
{
    for (const SettingRow& row : settingRows())
        m_values[std::size_t(row.id)] = row.read(m_store);
    connect(&m_store, &DefaultsStore::changedExternally, this, &AppSettings::reloadChangedKeys);
}

void AppSettings::setValue(Setting id, const SettingValue& value)
{
    if (id == Setting::preferredPlayers || id == Setting::ignoredPlayers) {
        PlayerPreferences preferences = playerPreferences();
        (id == Setting::preferredPlayers ? preferences.preferred : preferences.ignored) = std::get<QStringList>(value);
        setPlayerPreferences(preferences);
        return;
    }
    assign(id, value);
    const bool stored = store(id);
    afterChange(id);
    if (stored)
        logChange(id);
}

PlayerPreferences AppSettings::playerPreferences() const
{
    return {std::get<QStringList>(value(Setting::preferredPlayers)),
            std::get<QStringList>(value(Setting::ignoredPlayers))};
}

void AppSettings::setPlayerPreferences(const PlayerPreferences& preferences)
{
    const PlayerPreferences before = playerPreferences();
    m_values[std::size_t(Setting::preferredPlayers)] = preferences.preferred;
    m_values[std::size_t(Setting::ignoredPlayers)] = preferences.ignored;
    Q_EMIT playerPreferencesChanged(preferences);
    if (preferences.preferred != before.preferred && store(Setting::preferredPlayers))
        logChange(Setting::preferredPlayers);
    if (preferences.ignored != before.ignored && store(Setting::ignoredPlayers))
        logChange(Setting::ignoredPlayers);
}

Color AppSettings::color(ColorSlot slot) const { return std::get<Color>(value(colorSetting(slot))); }

void AppSettings::setColor(const Color& color, ColorSlot slot) { setValue(colorSetting(slot), color); }

void AppSettings::resetColors()
{
    for (ColorSlot slot : allColorSlots) {
        m_store.remove(colorKey(slot));
        setColor(defaultColor(slot), slot);
    }
}

void AppSettings::reloadSavedColors()
{
    for (ColorSlot slot : allColorSlots)
        assign(colorSetting(slot), settingRow(colorSetting(slot)).read(m_store));
}

void AppSettings::applyArtworkAccent(const Color& accent)
{
    const Color text = Color::fromHsb(accent.hue(), std::min(accent.saturation(), 0.45), 1.0, 1.0);
    assign(Setting::textColor, text);
    assign(Setting::highlightColor, accent);
    assign(Setting::secondaryColor, text.withAlpha(0.7));
}

void AppSettings::toggleDisplay(quint32 displayId)
{
    QSet<quint32> displays = disabledDisplays();
    if (!displays.remove(displayId))
        displays.insert(displayId);
    setDisabledDisplays(displays);
    DiagLog::log(QStringLiteral("display %1 → %2")
                     .arg(displayId)
                     .arg(displays.contains(displayId) ? QStringLiteral("off") : QStringLiteral("on")));
}

QString AppSettings::storeProblem() const { return m_store.problem(); }

Color AppSettings::highlightContrastColor() const
{
    const Color c = highlightColor();
    const double luma = 0.299 * c.red + 0.587 * c.green + 0.114 * c.blue;
    return luma > 0.55 ? Color::black() : Color::white();
}

void AppSettings::assign(Setting id, const SettingValue& value)
{
    m_values[std::size_t(id)] = value;
    announce(id);
}

bool AppSettings::store(Setting id)
{
    const SettingRow& row = settingRow(id);
    return m_store.setValue(row.key, row.toJson(value(id)));
}

void AppSettings::logChange(Setting id) const
{
    if (const SettingRow& row = settingRow(id); row.logLine)
        DiagLog::log(row.logLine(value(id)));
}

void AppSettings::announce(Setting id)
{
    switch (id) {
    case Setting::style:
        return Q_EMIT styleChanged(style());
    case Setting::textColor:
    case Setting::highlightColor:
    case Setting::secondaryColor:
        return Q_EMIT colorChanged(*colorSlotOf(id), std::get<Color>(value(id)));
    case Setting::autoSyncColors:
        return Q_EMIT autoSyncColorsChanged(autoSyncColors());
    case Setting::keepScreenAwake:
        return Q_EMIT keepScreenAwakeChanged(keepScreenAwake());
    case Setting::showWhenUnlocked:
        return Q_EMIT showWhenUnlockedChanged(showWhenUnlocked());
    case Setting::lyricFont:
        return Q_EMIT lyricFontChanged(lyricFont());
    case Setting::textScale:
        return Q_EMIT textScaleChanged(textScale());
    case Setting::disabledDisplays:
        return Q_EMIT disabledDisplaysChanged(disabledDisplays());
    case Setting::preferredPlayers:
    case Setting::ignoredPlayers:
        return Q_EMIT playerPreferencesChanged(playerPreferences());
    case Setting::lyricSources:
        return Q_EMIT lyricSourcesChanged(lyricSources());
    }
}

void AppSettings::afterChange(Setting id)
{
    if (id == Setting::autoSyncColors) {
        if (autoSyncColors())
            Q_EMIT artworkRefreshRequested();
        else
            reloadSavedColors();
    } else if (id == Setting::keepScreenAwake) {
        Q_EMIT screenAwakeUpdateRequested();
    }
}

void AppSettings::reloadChangedKeys(const QStringList& keys)
{
    // Another process changed the file: publish the new values and apply their effects, but write
    // nothing back (the file already holds them).
    bool colorsChanged = false;
    for (const QString& key : keys) {
        const SettingRow* row = settingRow(key);
        if (!row)
            continue;
        if (colorSlotOf(row->id)) {
            colorsChanged = true;
            continue;
        }
        assign(row->id, row->read(m_store));
        if (row->followsOutsideChanges) {
            afterChange(row->id);
            logChange(row->id);
        }
    }
    // While the artwork decides the colours, stored ones wait until auto sync goes off.
    if (colorsChanged && !autoSyncColors())
        reloadSavedColors();
}
