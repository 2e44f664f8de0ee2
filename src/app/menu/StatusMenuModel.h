#pragma once

#include "settings/SettingsEnums.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class AppSettings;
class StartAtLogin;

// The status menu as data: every item in order with its title and what choosing it does. Items
// about a setting change it through AppSettings, which stores and logs the change; whoever shows
// the overlays follows the setting. The widgets (StatusMenu) are built from this and only draw it.
namespace status_menu {

enum class MenuItemKind { header, action, separator, textSizeControl, submenu };

// Items the menu widget updates after it is built.
enum class MenuItemRole {
    plain,
    displayHeader,  // the display items go directly below it
    display,  // removed and built again each time the menu opens
    trackTiming,  // enabled only while a track plays
    rejectLyrics,  // follows what "Wrong Lyrics — Try Another" can do
    players,  // the submenu whose items are built each time it opens
    sources,  // the lyric sources' submenu, also built each time it opens
};

struct MenuItem {
    MenuItemKind kind = MenuItemKind::action;
    QString title;
    std::function<void()> choose;  // empty for headers and separators
    std::function<bool()> isChecked;  // the check mark, read each time the menu opens; empty: none
    std::optional<ColorSlot> swatch;  // shows the slot's colour
    std::optional<LyricFont> titleFont;  // the title is drawn in this family
    bool quitsWithShortcut = false;  // Ctrl+Q (the platform's command modifier)
    MenuItemRole role = MenuItemRole::plain;
};

// What items do beyond changing a setting; the menu widget supplies them.
struct MenuCommands {
    std::function<void(ColorSlot)> pickColor;
    std::function<void(double delta)> nudgeTiming;  // seconds; positive: lyrics later
    std::function<void()> resetTiming;
    std::function<void()> rejectLyrics;
    std::function<void()> checkForUpdates;
    std::function<void()> quit;
};

inline constexpr char16_t rejectTitle[] = u"Wrong Lyrics \u2014 Try Another";
inline constexpr char16_t noOtherMatchTitle[] = u"No Other Match";
inline constexpr double fontTitlePointSize = 13.0;

// The items built once, top to bottom (the display items come when the menu opens).
QList<MenuItem> fixedItems(AppSettings& settings, StartAtLogin& startAtLogin, const MenuCommands& commands);

struct ScreenEntry {
    quint32 displayId = 0;  // 0: the screen has none and gets no item
    QString name;
};
// One item per screen with a display ID, in screen order, checked while its overlay is wanted.
QList<MenuItem> displayItems(AppSettings& settings, const QList<ScreenEntry>& screens);

// The "Players" submenu's items: one per player name, checked when followed, or a disabled note
// when no player is on the bus.
QList<MenuItem> playerItems(AppSettings& settings, const QStringList& playersOnBus);

// The "Sources" submenu's items: one per lyric source the application knows, checked while
// lookups ask it. Unchecking one removes it from the order and keeps the rest as they were;
// checking one adds it last. The last checked source cannot be unchecked.
QList<MenuItem> sourceItems(AppSettings& settings);
// The order after choosing the source's item.
QStringList toggledSource(const QStringList& order, const QString& source);

// The text-size slider spans 0.5...1.5 in this many steps: fine enough to feel continuous, and
// the ends and 1.0 fall exactly on steps. A scale beyond the span sits at its end.
inline constexpr int sliderSteps = 1000;
int sliderValueFor(double scale);
double scaleForSliderValue(int value);

// "Lyric Text", "Highlight", "Secondary Text": the slot as the menu and the colour panel name it.
QString colorSlotLabel(ColorSlot slot);
// "Zuvik — " + the label.
QString colorPanelTitle(ColorSlot slot);

}  // namespace status_menu
