#include "app/menu/StatusMenuModel.h"

#include "app/StartAtLogin.h"
#include "lyrics/TrackOffsets.h"
#include "settings/AppSettings.h"

#include <cmath>

namespace status_menu {

namespace {

constexpr double textScaleMinimum = 0.5;
constexpr double textScaleMaximum = 1.5;

MenuItem header(const QString& title, MenuItemRole role = MenuItemRole::plain)
{
    return {MenuItemKind::header, title, {}, {}, {}, {}, false, role};
}

MenuItem separator() { return {MenuItemKind::separator, {}, {}, {}, {}, {}, false, MenuItemRole::plain}; }

MenuItem item(const QString& title, std::function<void()> choose, std::function<bool()> isChecked = {})
{
    return {MenuItemKind::action, title, std::move(choose), std::move(isChecked), {}, {}, false, MenuItemRole::plain};
}

// An item that turns a Boolean setting over.
MenuItem toggle(AppSettings& settings, const QString& title, Setting setting)
{
    const auto on = [&settings, setting] { return std::get<bool>(settings.value(setting)); };
    return item(
        title, [&settings, setting, on] { settings.setValue(setting, !on()); }, on);
}

}  // namespace

QList<MenuItem> fixedItems(AppSettings& settings, StartAtLogin& startAtLogin, const MenuCommands& commands)
{
    AppSettings* s = &settings;
    QList<MenuItem> items;
    items.append(header(QStringLiteral("Style")));
    for (const auto& [style, raw] : settings_detail::lyricStyles)
        items.append(item(
            raw.toString(), [s, style = style] { s->setStyle(style); },
            [s, style = style] { return s->style() == style; }));
    items.append(separator());
    items.append(toggle(settings, QStringLiteral("Keep Screen Awake"), Setting::keepScreenAwake));
    items.append(toggle(settings, QStringLiteral("Non-lockscreen Visibility"), Setting::showWhenUnlocked));
    // Read from the desktop's entry each time the menu opens, so a change made elsewhere shows.
    StartAtLogin* login = &startAtLogin;
    items.append(item(
        QStringLiteral("Start at Login"), [login] { turnStartAtLogin(*login, !login->isOn()); },
        [login] { return login->isOn(); }));
    items.append(separator());
    items.append(header(QStringLiteral("Font")));
    for (const auto& [font, raw] : settings_detail::lyricFonts) {
        MenuItem fontItem = item(
            raw.toString(), [s, font = font] { s->setLyricFont(font); },
            [s, font = font] { return s->lyricFont() == font; });
        fontItem.titleFont = font;
        items.append(fontItem);
    }
    items.append(separator());
    items.append(header(QStringLiteral("Text Size")));
    items.append({MenuItemKind::textSizeControl, {}, {}, {}, {}, {}, false, MenuItemRole::plain});
    items.append(separator());
    items.append(header(QStringLiteral("Display"), MenuItemRole::displayHeader));
    items.append(separator());
    items.append(header(QStringLiteral("Color")));
    items.append(toggle(settings, QStringLiteral("Auto Sync"), Setting::autoSyncColors));
    for (ColorSlot slot : allColorSlots) {
        MenuItem colorItem = item(colorSlotLabel(slot) + u'…', [pick = commands.pickColor, slot] { pick(slot); });
        colorItem.swatch = slot;
        items.append(colorItem);
    }
    items.append(item(QStringLiteral("Reset Colors"), [s] { s->resetColors(); }));
    items.append(separator());
    items.append(header(QStringLiteral("Lyrics")));
    const auto nudge = commands.nudgeTiming;
    for (MenuItem timing :
         {item(QStringLiteral("Lyrics Earlier (\u22120.1 s)"), [nudge] { nudge(-TrackOffsets::step); }),
          item(QStringLiteral("Lyrics Later (+0.1 s)"), [nudge] { nudge(TrackOffsets::step); }),
          item(QStringLiteral("Reset Timing"), commands.resetTiming)}) {
        timing.role = MenuItemRole::trackTiming;
        items.append(timing);
    }
    MenuItem reject = item(QStringView(rejectTitle).toString(), commands.rejectLyrics);
    reject.role = MenuItemRole::rejectLyrics;
    items.append(reject);
    items.append({MenuItemKind::submenu, QStringLiteral("Sources"), {}, {}, {}, {}, false, MenuItemRole::sources});
    items.append(separator());
    items.append({MenuItemKind::submenu, QStringLiteral("Players"), {}, {}, {}, {}, false, MenuItemRole::players});
    items.append(separator());
    items.append(item(QStringLiteral("Check for Updates…"), commands.checkForUpdates));
    items.append(separator());
    MenuItem quit = item(QStringLiteral("Quit Zuvik"), commands.quit);
    quit.quitsWithShortcut = true;
    items.append(quit);
    return items;
}

QList<MenuItem> displayItems(AppSettings& settings, const QList<ScreenEntry>& screens)
{
    AppSettings* s = &settings;
    QList<MenuItem> items;
    for (const ScreenEntry& screen : screens) {
        if (screen.displayId == 0)
            continue;
        const quint32 id = screen.displayId;
        MenuItem display = item(
            screen.name, [s, id] { s->toggleDisplay(id); }, [s, id] { return !s->disabledDisplays().contains(id); });
        display.role = MenuItemRole::display;
        items.append(display);
    }
    return items;
}

QList<MenuItem> playerItems(AppSettings& settings, const QStringList& playersOnBus)
{
    if (playersOnBus.isEmpty())
        return {header(QStringLiteral("No Players Running"))};
    AppSettings* s = &settings;
    QList<MenuItem> items;
    for (const QString& player : playersOnBus) {
        items.append(item(
            player, [s, player] { s->setPlayerPreferences(s->playerPreferences().toggledFollowing(player)); },
            [s, player] { return s->playerPreferences().follows(player); }));
    }
    return items;
}

QList<MenuItem> sourceItems(AppSettings& settings)
{
    AppSettings* s = &settings;
    QList<MenuItem> items;
    for (const QString& source : knownLyricSources()) {
        items.append(item(
            source.toUpper(), [s, source] { s->setLyricSources(toggledSource(s->lyricSources(), source)); },
            [s, source] { return s->lyricSources().contains(source); }));
    }
    return items;
}

QStringList toggledSource(const QStringList& order, const QString& source)
{
    if (!order.contains(source))
        return order + QStringList{source};
    if (order.size() == 1)
        return order;  // lookups need a source to ask
    QStringList rest = order;
    rest.removeAll(source);
    return rest;
}

int sliderValueFor(double scale)
{
    const double fraction = (scale - textScaleMinimum) / (textScaleMaximum - textScaleMinimum);
    return int(std::lround(std::clamp(std::isnan(fraction) ? 0.5 : fraction, 0.0, 1.0) * sliderSteps));
}

double scaleForSliderValue(int value)
{
    return textScaleMinimum + (textScaleMaximum - textScaleMinimum) * value / sliderSteps;
}

QString colorSlotLabel(ColorSlot slot)
{
    switch (slot) {
    case ColorSlot::text:
        return QStringLiteral("Lyric Text");
    case ColorSlot::highlight:
        return QStringLiteral("Highlight");
    case ColorSlot::secondary:
        return QStringLiteral("Secondary Text");
    }
    Q_UNREACHABLE();
}

QString colorPanelTitle(ColorSlot slot) { return QStringLiteral("Zuvik — ") + colorSlotLabel(slot); }

}  // namespace status_menu
