#pragma once

#include "app/LyricsRejection.h"
#include "app/menu/StatusMenuModel.h"
#include "app/menu/UpdateCheck.h"

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <QSlider>

#include <memory>
#include <optional>

class AppSettings;
class QAction;
class QColorDialog;
class QMenu;
class QSystemTrayIcon;
struct Color;

// The status item and its menu, the application's only interface besides the overlays: built once
// from StatusMenuModel, whose items carry their own actions, and refreshed every time it opens
// (check marks, swatches, the slider and the display items). Main thread.
class PlayerRoster;

class StatusMenu : public QObject {
    Q_OBJECT
public:
    struct UpdateFeed {
        QUrl address;  // empty: this build has no update feed
        QString runningVersion;
        std::chrono::milliseconds timeout = UpdateCheck::defaultTimeout;
    };

    StatusMenu(AppSettings& settings, const PlayerRoster& players, StartAtLogin& startAtLogin, UpdateFeed updateFeed,
               QObject* parent = nullptr);
    ~StatusMenu() override;

    // Puts the status item in the tray; on a desktop without one, says how to open the menu.
    void install();
    // Opens the menu where the pointer is (`zuvik --menu`, or a click on the tray icon).
    void popupAtPointer();

    // What opening the menu does before it shows.
    void refresh();

    QMenu& menu() const { return *m_menu; }
    QSystemTrayIcon* trayIcon() const { return m_tray; }
    // "Players": one item per player on the bus, built each time it opens.
    QMenu* playersMenu() const { return m_playersMenu; }
    // "Sources": a check item per lyric source.
    QMenu* sourcesMenu() const { return m_sourcesMenu; }
    QSlider* textScaleSlider() const { return m_slider; }
    QPushButton* textScaleResetButton() const { return m_resetButton; }
    QColorDialog* colorPanel() const { return m_colorPanel.get(); }
    // The last update dialog, while it is open.
    QMessageBox* updateDialog() const { return m_updateDialog; }

    // Whether a track is playing, which the items about the current track need.
    void setTrackAvailable(bool available);
    // What "Wrong Lyrics — Try Another" can do now: its title and whether it can be chosen.
    void setRejectionState(RejectionState state);

Q_SIGNALS:
    // "Quit Zuvik": whoever runs the application ends it.
    void quitRequested();
    // The timing items: the current track's lyrics moved by `delta` seconds (positive: later).
    void timingNudgeRequested(double delta);
    void timingResetRequested();
    // "Wrong Lyrics — Try Another".
    void rejectLyricsRequested();

private:
    struct Entry {
        status_menu::MenuItem item;
        QAction* action;
    };

    QAction* makeAction(const status_menu::MenuItem& item, QMenu& owner);
    QWidget* makeTextSizeControl();
    void refreshChecks(const QList<Entry>& entries);
    void refreshDisplayItems();
    void refreshTrackItems();
    void refreshRejectItem();
    void refreshPlayerItems();
    void refreshSourceItems();
    void rebuild(QMenu& submenu, QList<Entry>& entries, const QList<status_menu::MenuItem>& items);
    void pickColor(ColorSlot slot);
    void resetTextScale();
    void showUpdateResult(const UpdateCheckResult& result);

    AppSettings& m_settings;
    const PlayerRoster& m_players;
    bool m_trackAvailable = false;
    RejectionState m_rejection = RejectionState::unavailable;
    std::unique_ptr<QMenu> m_menu;  // a top-level widget: no parent to own it
    QSystemTrayIcon* m_tray = nullptr;  // child of this, from install() on
    QMenu* m_playersMenu = nullptr;  // child of the menu
    QMenu* m_sourcesMenu = nullptr;  // child of the menu
    QPointer<QSlider> m_slider;  // owned by the menu's text-size item
    QPointer<QPushButton> m_resetButton;
    std::unique_ptr<QColorDialog> m_colorPanel;  // made on first pickColor
    std::optional<ColorSlot> m_activeColorSlot;  // what the colour panel edits
    QList<Entry> m_entries;  // the menu's own items, display items included
    QList<Entry> m_playerEntries;
    QList<Entry> m_sourceEntries;
    UpdateCheck m_updateCheck;
    QPointer<QMessageBox> m_updateDialog;  // deletes itself when closed
};
