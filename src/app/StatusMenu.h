#pragma once

#include "app/LyricsRejection.h"
#include "app/StatusMenuModel.h"
#include "app/UpdateCheck.h"

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
// from StatusMenuModel, refreshed every time it opens (check marks, swatches, the slider and the
// display items), and the handler of every item. Each action writes to AppSettings, which stores
// and logs the change; the overlays follow the settings. Main thread.
class StatusMenu : public QObject {
    Q_OBJECT
public:
    struct UpdateFeed {
        QUrl address;  // empty: this build has no update feed
        QString runningVersion;
        std::chrono::milliseconds timeout = UpdateCheck::defaultTimeout;
    };

    // The slider's steps over 0.5...1.5: fine enough to feel continuous, and the ends and 1.0 fall
    // exactly on steps.
    static constexpr int sliderSteps = 1000;

    StatusMenu(AppSettings& settings, UpdateFeed updateFeed, QObject* parent = nullptr);
    ~StatusMenu() override;

    // Puts the status item in the tray; on a desktop without one, says how to open the menu.
    void install();
    // Opens the menu where the pointer is (`zuvik --menu`, or a click on the tray icon).
    void popupAtPointer();

    // What opening the menu does before it shows.
    void refresh();

    QMenu& menu() const { return *m_menu; }
    // The items as the menu holds them now, read back from its widgets.
    QList<MenuItemSpec> items() const;
    QSystemTrayIcon* trayIcon() const { return m_tray; }
    // "Players": one item per player on the bus, built each time it opens.
    QMenu* playersMenu() const { return m_playersMenu; }
    QSlider* textScaleSlider() const { return m_slider; }
    QPushButton* textScaleResetButton() const { return m_resetButton; }
    QColorDialog* colorPanel() const { return m_colorPanel.get(); }
    std::optional<ColorSlot> activeColorSlot() const { return m_activeColorSlot; }
    // The last update dialog, while it is open.
    QMessageBox* updateDialog() const { return m_updateDialog; }

    // The actions, each given the represented object of the item that sent it.
    void pickStyle(const QVariant& represented);
    void toggleKeepAwake();
    void toggleUnlockedVisibility();
    void pickFont(const QVariant& represented);
    void textScaleChanged(int sliderValue);
    void resetTextScale();
    void toggleDisplay(const QVariant& represented);
    void toggleAutoSync();
    void pickColor(const QVariant& represented);
    void colorPanelChanged(const Color& color);
    void resetColors();
    void checkForUpdates();
    // A player item: the player is followed from now on, or no longer.
    void togglePlayer(const QVariant& represented);

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
    QAction* makeAction(const MenuItemSpec& spec);
    QWidget* makeTextSizeControl();
    void trigger(QAction* action);
    void refreshDisplayItems();
    void refreshTrackItems();
    void refreshRejectItem();
    void refreshPlayerItems();
    status_menu::MenuSettings currentMenuSettings() const;
    void showUpdateResult(const UpdateCheckResult& result);

    AppSettings& m_settings;
    bool m_trackAvailable = false;
    RejectionState m_rejection = RejectionState::unavailable;
    std::unique_ptr<QMenu> m_menu;  // a top-level widget: no parent to own it
    QSystemTrayIcon* m_tray = nullptr;  // child of this, from install() on
    QMenu* m_playersMenu = nullptr;     // child of the menu
    QPointer<QSlider> m_slider;  // owned by the menu's text-size item
    QPointer<QPushButton> m_resetButton;
    std::unique_ptr<QColorDialog> m_colorPanel;  // made on first pickColor
    std::optional<ColorSlot> m_activeColorSlot;
    UpdateCheck m_updateCheck;
    QPointer<QMessageBox> m_updateDialog;  // deletes itself when closed
};
