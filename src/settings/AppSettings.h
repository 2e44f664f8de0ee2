#pragma once

#include "playback/PlayerPreferences.h"
#include "settings/Color.h"
#include "settings/SettingsEnums.h"
#include "settings/SettingsTable.h"

#include <QObject>
#include <QSet>

#include <array>

class DefaultsStore;

// Every user setting: read once from the defaults store, published to observers on every
// assignment (also of an unchanged value), and written back the moment it changes. Colours taken
// from the artwork are published but never stored. Main thread only.
class AppSettings : public QObject {
    Q_OBJECT
public:
    // The process-wide instance over the user's defaults file, made on first use.
    static AppSettings& shared();

    explicit AppSettings(DefaultsStore& store, QObject* parent = nullptr);

    // Any setting by its row; setValue stores, logs and runs the effects as the typed setters do.
    const SettingValue& value(Setting id) const { return m_values[std::size_t(id)]; }
    void setValue(Setting id, const SettingValue& value);

    LyricStyle style() const { return std::get<LyricStyle>(value(Setting::style)); }
    void setStyle(LyricStyle style) { setValue(Setting::style, style); }
    Color textColor() const { return color(ColorSlot::text); }
    Color highlightColor() const { return color(ColorSlot::highlight); }
    Color secondaryColor() const { return color(ColorSlot::secondary); }
    bool autoSyncColors() const { return std::get<bool>(value(Setting::autoSyncColors)); }
    void setAutoSyncColors(bool on) { setValue(Setting::autoSyncColors, on); }
    bool keepScreenAwake() const { return std::get<bool>(value(Setting::keepScreenAwake)); }
    void setKeepScreenAwake(bool on) { setValue(Setting::keepScreenAwake, on); }
    bool showWhenUnlocked() const { return std::get<bool>(value(Setting::showWhenUnlocked)); }
    void setShowWhenUnlocked(bool on) { setValue(Setting::showWhenUnlocked, on); }
    LyricFont lyricFont() const { return std::get<LyricFont>(value(Setting::lyricFont)); }
    void setLyricFont(LyricFont font) { setValue(Setting::lyricFont, font); }
    double textScale() const { return std::get<double>(value(Setting::textScale)); }
    void setTextScale(double scale) { setValue(Setting::textScale, scale); }
    const QSet<quint32>& disabledDisplays() const { return std::get<QSet<quint32>>(value(Setting::disabledDisplays)); }
    void setDisabledDisplays(const QSet<quint32>& displays) { setValue(Setting::disabledDisplays, displays); }
    PlayerPreferences playerPreferences() const;
    // Stores each list that differs from the current one.
    void setPlayerPreferences(const PlayerPreferences& preferences);
    const QStringList& lyricSources() const { return std::get<QStringList>(value(Setting::lyricSources)); }
    void setLyricSources(const QStringList& names) { setValue(Setting::lyricSources, names); }

    Color color(ColorSlot slot) const;
    // Publishes the colour and stores its hex form: the one way a colour reaches the store.
    void setColor(const Color& color, ColorSlot slot);
    void resetColors();
    // Back to the colours last set through setColor (or the defaults).
    void reloadSavedColors();
    // Derives the three colours from the artwork's accent; stores nothing.
    void applyArtworkAccent(const Color& accent);
    void toggleDisplay(quint32 displayId);
    // Black or white, whichever reads better on the highlight colour.
    Color highlightContrastColor() const;
    // Why changes may not reach the defaults store (see DefaultsStore::problem); empty when they do.
    // A change that is not stored still holds in memory and is not logged as made.
    QString storeProblem() const;

Q_SIGNALS:
    void styleChanged(LyricStyle style);
    void colorChanged(ColorSlot slot, const Color& color);
    void autoSyncColorsChanged(bool on);
    void keepScreenAwakeChanged(bool on);
    void showWhenUnlockedChanged(bool on);
    void lyricFontChanged(LyricFont font);
    void textScaleChanged(double scale);
    void disabledDisplaysChanged(const QSet<quint32>& displays);
    void playerPreferencesChanged(const PlayerPreferences& preferences);
    void lyricSourcesChanged(const QStringList& names);

    // Effects on other services, connected by whoever builds the application: the screen-awake
    // holder re-evaluates its assertion; the artwork colour sync starts a job if one is due.
    void screenAwakeUpdateRequested();
    void artworkRefreshRequested();

private:
    void reloadChangedKeys(const QStringList& keys);
    void assign(Setting id, const SettingValue& value);
    // Writes the value to the store; false when it did not reach it.
    bool store(Setting id);
    void logChange(Setting id) const;
    // Emits the setting's own signal.
    void announce(Setting id);
    // The effects of a change apart from storing it: also run for changes made by another process.
    void afterChange(Setting id);

    DefaultsStore& m_store;
    std::array<SettingValue, std::size_t(Setting::lyricSources) + 1> m_values;
};
