#pragma once

#include "playback/PlayerPreferences.h"
#include "settings/SettingsEnums.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QVariant>

#include <optional>

// The status menu as data: every item in order with its title, action, represented object and
// tag, and the rules that decode an item's represented object and decide its check mark. The
// widgets (StatusMenu) are built from this and only draw it.

enum class MenuItemKind { header, action, separator, textSizeControl, submenu };

enum class MenuAction {
    none,
    pickStyle,
    toggleKeepAwake,
    toggleUnlockedVisibility,
    pickFont,
    toggleDisplay,
    toggleAutoSync,
    pickColor,
    resetColors,
    checkForUpdates,
    quit,
    lyricsEarlier,
    lyricsLater,
    resetTiming,
    togglePlayer,
    rejectLyrics,
};

struct MenuItemSpec {
    MenuItemKind kind = MenuItemKind::action;
    QString title;
    MenuAction action = MenuAction::none;
    QVariant represented;  // a string, a display ID (uint), or nothing
    int tag = 0;
    QString keyEquivalent;  // "q" for Quit; pressed with the platform's command modifier
    std::optional<LyricFont> titleFont;  // the title is drawn in this family

    friend bool operator==(const MenuItemSpec&, const MenuItemSpec&) = default;
};

namespace status_menu {

// The "Display" header, below which the display items go.
inline constexpr int displayHeaderTag = 701;
// Every display item: removed and built again each time the menu opens.
inline constexpr int displayItemTag = 702;
// Items about the track now playing: enabled only while one is.
inline constexpr int trackItemTag = 703;
// The "Players" submenu, whose items (one per player on the bus) are built each time it opens.
inline constexpr int playersMenuTag = 704;
inline constexpr int playerItemTag = 705;
// "Wrong Lyrics — Try Another": enabled while lyrics from the service are on show, titled
// "No Other Match" once every match of the track has been sent away.
inline constexpr int rejectItemTag = 706;
inline constexpr char16_t rejectTitle[] = u"Wrong Lyrics \u2014 Try Another";
inline constexpr char16_t noOtherMatchTitle[] = u"No Other Match";
inline constexpr char16_t playerPrefix[] = u"player:";

inline constexpr double textScaleMinimum = 0.5;
inline constexpr double textScaleMaximum = 1.5;
inline constexpr double fontTitlePointSize = 13.0;
inline constexpr char16_t fontPrefix[] = u"font:";

// The items built once, top to bottom (the display items come when the menu opens).
QList<MenuItemSpec> fixedItems();

struct ScreenEntry {
    quint32 displayId = 0;  // 0: the screen has none and gets no item
    QString name;
};

// The items as the menu shows them once it opens: the previous display items gone, one item per
// screen with a display ID directly below the "Display" header, in screen order.
QList<MenuItemSpec> withDisplayItems(const QList<MenuItemSpec>& items, const QList<ScreenEntry>& screens);
MenuItemSpec displayItem(const ScreenEntry& screen);

// The "Players" submenu's items: one per player name, checked when followed, or a disabled note
// when no player is on the bus.
QList<MenuItemSpec> playerItems(const QStringList& playersOnBus);
std::optional<QString> playerOf(const QVariant& represented);

// What the check marks and swatches are read from when the menu opens.
struct MenuSettings {
    LyricStyle style = LyricStyle::ship;
    LyricFont font = LyricFont::sfPro;
    bool autoSyncColors = false;
    bool keepScreenAwake = true;
    bool showWhenUnlocked = true;
    QSet<quint32> disabledDisplays;
    PlayerPreferences players;
};

// The check mark of an item with this represented object, or nothing for an item that has none.
std::optional<bool> checkMark(const QVariant& represented, const MenuSettings& settings);

// Decoding a sender's represented object; anything that does not decode yields nothing.
std::optional<LyricStyle> styleOf(const QVariant& represented);
std::optional<LyricFont> fontOf(const QVariant& represented);
std::optional<ColorSlot> colorSlotOf(const QVariant& represented);
std::optional<quint32> displayIdOf(const QVariant& represented);

// "Lyric Text", "Highlight", "Secondary Text": the slot as the menu and the colour panel name it.
QString colorSlotLabel(ColorSlot slot);
// "Zuvik — " + the label.
QString colorPanelTitle(ColorSlot slot);

}  // namespace status_menu
