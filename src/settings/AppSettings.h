#pragma once

#include "playback/PlayerPreferences.h"
#include "settings/Color.h"
#include "settings/SettingsEnums.h"

#include <QObject>
#include <QSet>

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

    LyricStyle style() const { return m_style; }
    void setStyle(LyricStyle style);
    Color textColor() const { return m_textColor; }
    Color highlightColor() const { return m_highlightColor; }
    Color secondaryColor() const { return m_secondaryColor; }
    bool autoSyncColors() const { return m_autoSyncColors; }
    void setAutoSyncColors(bool on);
    bool keepScreenAwake() const { return m_keepScreenAwake; }
    void setKeepScreenAwake(bool on);
    bool showWhenUnlocked() const { return m_showWhenUnlocked; }
    void setShowWhenUnlocked(bool on);
    LyricFont lyricFont() const { return m_lyricFont; }
    void setLyricFont(LyricFont font);
    double textScale() const { return m_textScale; }
    void setTextScale(double scale);
    const QSet<quint32>& disabledDisplays() const { return m_disabledDisplays; }
    void setDisabledDisplays(const QSet<quint32>& displays);
    const PlayerPreferences& playerPreferences() const { return m_playerPreferences; }
    // Stores each list that differs from the current one.
    void setPlayerPreferences(const PlayerPreferences& preferences);

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

    // Effects on other services, connected by whoever builds the application: the screen-awake
    // holder re-evaluates its assertion; the artwork colour sync starts a job if one is due.
    void screenAwakeUpdateRequested();
    void artworkRefreshRequested();

private:
    void load();
    void reloadChangedKeys(const QStringList& keys);
    void assignColor(ColorSlot slot, const Color& color);
    void storeDisplays();

    // The effects of a change apart from storing it: also run for changes made by another process.
    void afterAutoSyncColors();
    void afterKeepScreenAwake();
    // The log line of a change, written once it is stored (or came stored from another process).
    void logAutoSyncColors() const;
    void logKeepScreenAwake() const;

    DefaultsStore& m_store;
    LyricStyle m_style = LyricStyle::ship;
    Color m_textColor = defaultColor(ColorSlot::text);
    Color m_highlightColor = defaultColor(ColorSlot::highlight);
    Color m_secondaryColor = defaultColor(ColorSlot::secondary);
    bool m_autoSyncColors = false;
    bool m_keepScreenAwake = true;
    bool m_showWhenUnlocked = true;
    LyricFont m_lyricFont = LyricFont::sfPro;
    double m_textScale = 1.0;
    QSet<quint32> m_disabledDisplays;
    PlayerPreferences m_playerPreferences;
};

// The text scale as drawing uses it: the store keeps any number, but the overlay only makes sense
// between a quarter and four times the base size. Not a number gives 1.
double drawingTextScale(double storedScale);
