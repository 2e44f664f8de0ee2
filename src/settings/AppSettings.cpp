#include "settings/AppSettings.h"

#include "foundation/DiagLog.h"
#include "settings/JsonFileDefaultsStore.h"
#include "settings/StoredSettings.h"

#include <QJsonArray>

#include <algorithm>
#include <cmath>
#include <utility>

using namespace stored_settings;

namespace {

QString onOff(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

}  // namespace

AppSettings& AppSettings::shared()
{
    // Both live for the whole process; settings are written as they change, so nothing is owed at exit.
    static JsonFileDefaultsStore* const store = new JsonFileDefaultsStore(JsonFileDefaultsStore::defaultFilePath());
    static AppSettings* const instance = new AppSettings(*store, store);
    return *instance;
}

AppSettings::AppSettings(DefaultsStore& store, QObject* parent)
    : QObject(parent)
    , m_store(store)
{
    load();
    connect(&m_store, &DefaultsStore::changedExternally, this, &AppSettings::reloadChangedKeys);
}

void AppSettings::load()
{
    m_style = stored_settings::style(m_store);
    m_textColor = stored_settings::color(m_store, ColorSlot::text);
    m_highlightColor = stored_settings::color(m_store, ColorSlot::highlight);
    m_secondaryColor = stored_settings::color(m_store, ColorSlot::secondary);
    m_autoSyncColors = stored_settings::autoSyncColors(m_store);
    m_keepScreenAwake = booleanDefaultingTrue(m_store, keepScreenAwakeKey);
    m_showWhenUnlocked = booleanDefaultingTrue(m_store, showWhenUnlockedKey);
    m_disabledDisplays = stored_settings::disabledDisplays(m_store);
    m_textScale = stored_settings::textScale(m_store);
    m_lyricFont = stored_settings::lyricFont(m_store);
    m_playerPreferences = stored_settings::playerPreferences(m_store);
}

void AppSettings::setPlayerPreferences(const PlayerPreferences& preferences)
{
    const PlayerPreferences before = std::exchange(m_playerPreferences, preferences);
    Q_EMIT playerPreferencesChanged(preferences);
    const auto store = [this](const QString& key, const QStringList& names) {
        if (m_store.setValue(key, QJsonArray::fromStringList(names)))
            DiagLog::log(key + QStringLiteral(" → ") + (names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", "))));
    };
    if (preferences.preferred != before.preferred)
        store(preferredPlayersKey, preferences.preferred);
    if (preferences.ignored != before.ignored)
        store(ignoredPlayersKey, preferences.ignored);
}

void AppSettings::setStyle(LyricStyle style)
{
    m_style = style;
    Q_EMIT styleChanged(style);
    if (m_store.setValue(styleKey, rawValue(style)))
        DiagLog::log(QStringLiteral("style → ") + rawValue(style));
}

void AppSettings::setAutoSyncColors(bool on)
{
    m_autoSyncColors = on;
    Q_EMIT autoSyncColorsChanged(on);
    const bool stored = m_store.setValue(autoSyncColorsKey, on);
    afterAutoSyncColors();
    if (stored)
        logAutoSyncColors();
}

void AppSettings::afterAutoSyncColors()
{
    if (m_autoSyncColors)
        Q_EMIT artworkRefreshRequested();
    else
        reloadSavedColors();
}

void AppSettings::logAutoSyncColors() const
{
    DiagLog::log(QStringLiteral("auto sync colors → ") + onOff(m_autoSyncColors));
}

void AppSettings::setKeepScreenAwake(bool on)
{
    m_keepScreenAwake = on;
    Q_EMIT keepScreenAwakeChanged(on);
    const bool stored = m_store.setValue(keepScreenAwakeKey, on);
    afterKeepScreenAwake();
    if (stored)
        logKeepScreenAwake();
}

void AppSettings::afterKeepScreenAwake()
{
    Q_EMIT screenAwakeUpdateRequested();
}

void AppSettings::logKeepScreenAwake() const
{
    DiagLog::log(QStringLiteral("keep screen awake → ") + onOff(m_keepScreenAwake));
}

void AppSettings::setShowWhenUnlocked(bool on)
{
    m_showWhenUnlocked = on;
    Q_EMIT showWhenUnlockedChanged(on);
    if (m_store.setValue(showWhenUnlockedKey, on))
        DiagLog::log(QStringLiteral("non-lockscreen visibility → ") + onOff(on));
}

void AppSettings::setLyricFont(LyricFont font)
{
    m_lyricFont = font;
    Q_EMIT lyricFontChanged(font);
    if (m_store.setValue(lyricFontKey, rawValue(font)))
        DiagLog::log(QStringLiteral("font → ") + rawValue(font));
}

void AppSettings::setTextScale(double scale)
{
    m_textScale = scale;
    Q_EMIT textScaleChanged(scale);
    m_store.setValue(textScaleKey, scale);
}

void AppSettings::setDisabledDisplays(const QSet<quint32>& displays)
{
    m_disabledDisplays = displays;
    Q_EMIT disabledDisplaysChanged(displays);
    storeDisplays();
}

Color AppSettings::color(ColorSlot slot) const
{
    switch (slot) {
    case ColorSlot::text:
        return m_textColor;
    case ColorSlot::highlight:
        return m_highlightColor;
    case ColorSlot::secondary:
        return m_secondaryColor;
    }
    Q_UNREACHABLE();
}

void AppSettings::setColor(const Color& color, ColorSlot slot)
{
    assignColor(slot, color);
    m_store.setValue(colorKey(slot), colorHexString(color));
}

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
        assignColor(slot, stored_settings::color(m_store, slot));
}

void AppSettings::applyArtworkAccent(const Color& accent)
{
    const Color text = Color::fromHsb(accent.hue(), std::min(accent.saturation(), 0.45), 1.0, 1.0);
    assignColor(ColorSlot::text, text);
    assignColor(ColorSlot::highlight, accent);
    assignColor(ColorSlot::secondary, text.withAlpha(0.7));
}

void AppSettings::toggleDisplay(quint32 displayId)
{
    QSet<quint32> displays = m_disabledDisplays;
    if (!displays.remove(displayId))
        displays.insert(displayId);
    setDisabledDisplays(displays);
    DiagLog::log(QStringLiteral("display %1 → %2")
                     .arg(displayId)
                     .arg(displays.contains(displayId) ? QStringLiteral("off") : QStringLiteral("on")));
}

QString AppSettings::storeProblem() const
{
    return m_store.problem();
}

Color AppSettings::highlightContrastColor() const
{
    const Color& c = m_highlightColor;
    const double luma = 0.299 * c.red + 0.587 * c.green + 0.114 * c.blue;
    return luma > 0.55 ? Color::black() : Color::white();
}

void AppSettings::assignColor(ColorSlot slot, const Color& color)
{
    switch (slot) {
    case ColorSlot::text:
        m_textColor = color;
        break;
    case ColorSlot::highlight:
        m_highlightColor = color;
        break;
    case ColorSlot::secondary:
        m_secondaryColor = color;
        break;
    }
    Q_EMIT colorChanged(slot, color);
}

void AppSettings::storeDisplays()
{
    QJsonArray ids;
    for (quint32 id : std::as_const(m_disabledDisplays))
        ids.append(QString::number(id));
    m_store.setValue(disabledDisplaysKey, ids);
}

void AppSettings::reloadChangedKeys(const QStringList& keys)
{
    // Another process changed the file: publish the new values and apply their effects, but write
    // nothing back (the file already holds them).
    bool colorsChanged = false;
    for (const QString& key : keys) {
        if (key == styleKey) {
            m_style = stored_settings::style(m_store);
            Q_EMIT styleChanged(m_style);
        } else if (key == autoSyncColorsKey) {
            m_autoSyncColors = stored_settings::autoSyncColors(m_store);
            Q_EMIT autoSyncColorsChanged(m_autoSyncColors);
            afterAutoSyncColors();
            logAutoSyncColors();
        } else if (key == keepScreenAwakeKey) {
            m_keepScreenAwake = booleanDefaultingTrue(m_store, keepScreenAwakeKey);
            Q_EMIT keepScreenAwakeChanged(m_keepScreenAwake);
            afterKeepScreenAwake();
            logKeepScreenAwake();
        } else if (key == showWhenUnlockedKey) {
            m_showWhenUnlocked = booleanDefaultingTrue(m_store, showWhenUnlockedKey);
            Q_EMIT showWhenUnlockedChanged(m_showWhenUnlocked);
        } else if (key == lyricFontKey) {
            m_lyricFont = stored_settings::lyricFont(m_store);
            Q_EMIT lyricFontChanged(m_lyricFont);
        } else if (key == textScaleKey) {
            m_textScale = stored_settings::textScale(m_store);
            Q_EMIT textScaleChanged(m_textScale);
        } else if (key == disabledDisplaysKey) {
            m_disabledDisplays = stored_settings::disabledDisplays(m_store);
            Q_EMIT disabledDisplaysChanged(m_disabledDisplays);
        } else if (key == preferredPlayersKey || key == ignoredPlayersKey) {
            m_playerPreferences = stored_settings::playerPreferences(m_store);
            Q_EMIT playerPreferencesChanged(m_playerPreferences);
        } else if (key.startsWith(QStringLiteral("color."))) {
            colorsChanged = true;
        }
    }
    // While the artwork decides the colours, stored ones wait until auto sync goes off.
    if (colorsChanged && !m_autoSyncColors)
        reloadSavedColors();
}

double drawingTextScale(double storedScale)
{
    if (std::isnan(storedScale))
        return 1.0;
    return std::clamp(storedScale, 0.25, 4.0);
}
