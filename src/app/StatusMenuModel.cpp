#include "app/StatusMenuModel.h"

#include <limits>

namespace status_menu {

namespace {

const QString autoSyncObject = QStringLiteral("autoSync");
const QString keepAwakeObject = QStringLiteral("keepAwake");
const QString unlockedVisibilityObject = QStringLiteral("unlockedVisibility");

MenuItemSpec header(const QString& title, int tag = 0)
{
    return {MenuItemKind::header, title, MenuAction::none, {}, tag, {}, {}};
}

MenuItemSpec separator()
{
    return {MenuItemKind::separator, {}, MenuAction::none, {}, 0, {}, {}};
}

MenuItemSpec item(const QString& title, MenuAction action, QVariant represented = {})
{
    return {MenuItemKind::action, title, action, std::move(represented), 0, {}, {}};
}

// Only a string is a represented object of the named kinds; a number never is.
std::optional<QString> stringOf(const QVariant& represented)
{
    if (represented.typeId() != QMetaType::QString)
        return std::nullopt;
    return represented.toString();
}

}  // namespace

QList<MenuItemSpec> fixedItems()
{
    QList<MenuItemSpec> items;
    items.append(header(QStringLiteral("Style")));
    for (const auto& [style, raw] : settings_detail::lyricStyles)
        items.append(item(raw.toString(), MenuAction::pickStyle, raw.toString()));
    items.append(separator());
    items.append(item(QStringLiteral("Keep Screen Awake"), MenuAction::toggleKeepAwake, keepAwakeObject));
    items.append(item(QStringLiteral("Non-lockscreen Visibility"), MenuAction::toggleUnlockedVisibility,
                      unlockedVisibilityObject));
    items.append(separator());
    items.append(header(QStringLiteral("Font")));
    for (const auto& [font, raw] : settings_detail::lyricFonts) {
        MenuItemSpec fontItem = item(raw.toString(), MenuAction::pickFont, QStringView(fontPrefix).toString() + raw.toString());
        fontItem.titleFont = font;
        items.append(fontItem);
    }
    items.append(separator());
    items.append(header(QStringLiteral("Text Size")));
    items.append({MenuItemKind::textSizeControl, {}, MenuAction::none, {}, 0, {}, {}});
    items.append(separator());
    items.append(header(QStringLiteral("Display"), displayHeaderTag));
    items.append(separator());
    items.append(header(QStringLiteral("Color")));
    items.append(item(QStringLiteral("Auto Sync"), MenuAction::toggleAutoSync, autoSyncObject));
    for (ColorSlot slot : allColorSlots)
        items.append(item(colorSlotLabel(slot) + u'…', MenuAction::pickColor, rawValue(slot)));
    items.append(item(QStringLiteral("Reset Colors"), MenuAction::resetColors));
    items.append(separator());
    items.append(header(QStringLiteral("Lyrics")));
    for (auto [title, action] : {std::pair(u"Lyrics Earlier (\u22120.1 s)", MenuAction::lyricsEarlier),
                                 std::pair(u"Lyrics Later (+0.1 s)", MenuAction::lyricsLater),
                                 std::pair(u"Reset Timing", MenuAction::resetTiming)}) {
        MenuItemSpec trackItem = item(QString::fromUtf16(title), action);
        trackItem.tag = trackItemTag;
        items.append(trackItem);
    }
    MenuItemSpec rejectItem = item(QStringView(rejectTitle).toString(), MenuAction::rejectLyrics);
    rejectItem.tag = rejectItemTag;
    items.append(rejectItem);
    items.append(separator());
    items.append({MenuItemKind::submenu, QStringLiteral("Players"), MenuAction::none, {}, playersMenuTag, {}, {}});
    items.append(separator());
    items.append(item(QStringLiteral("Check for Updates…"), MenuAction::checkForUpdates));
    items.append(separator());
    MenuItemSpec quit = item(QStringLiteral("Quit Zuvik"), MenuAction::quit);
    quit.keyEquivalent = QStringLiteral("q");
    items.append(quit);
    return items;
}

MenuItemSpec displayItem(const ScreenEntry& screen)
{
    MenuItemSpec spec = item(screen.name, MenuAction::toggleDisplay, QVariant::fromValue<uint>(screen.displayId));
    spec.tag = displayItemTag;
    return spec;
}

QList<MenuItemSpec> withDisplayItems(const QList<MenuItemSpec>& items, const QList<ScreenEntry>& screens)
{
    QList<MenuItemSpec> result;
    for (const MenuItemSpec& spec : items) {
        if (spec.tag != displayItemTag)
            result.append(spec);
    }
    const auto header = std::find_if(result.begin(), result.end(),
                                     [](const MenuItemSpec& spec) { return spec.tag == displayHeaderTag; });
    if (header == result.end())
        return result;
    qsizetype at = std::distance(result.begin(), header) + 1;
    for (const ScreenEntry& screen : screens) {
        if (screen.displayId != 0)
            result.insert(at++, displayItem(screen));
    }
    return result;
}

QList<MenuItemSpec> playerItems(const QStringList& playersOnBus)
{
    if (playersOnBus.isEmpty())
        return {header(QStringLiteral("No Players Running"), playerItemTag)};
    QList<MenuItemSpec> items;
    for (const QString& player : playersOnBus) {
        MenuItemSpec spec = item(player, MenuAction::togglePlayer, QStringView(playerPrefix).toString() + player);
        spec.tag = playerItemTag;
        items.append(spec);
    }
    return items;
}

std::optional<QString> playerOf(const QVariant& represented)
{
    const std::optional<QString> text = stringOf(represented);
    if (!text || !text->startsWith(playerPrefix) || text->size() == QStringView(playerPrefix).size())
        return std::nullopt;
    return text->mid(QStringView(playerPrefix).size());
}

std::optional<bool> checkMark(const QVariant& represented, const MenuSettings& settings)
{
    if (const std::optional<QString> player = playerOf(represented))
        return settings.players.follows(*player);
    if (const std::optional<quint32> id = displayIdOf(represented))
        return !settings.disabledDisplays.contains(*id);
    const std::optional<QString> text = stringOf(represented);
    if (!text)
        return std::nullopt;
    if (text->startsWith(fontPrefix))
        return text->mid(QStringView(fontPrefix).size()) == rawValue(settings.font);
    if (*text == autoSyncObject)
        return settings.autoSyncColors;
    if (*text == keepAwakeObject)
        return settings.keepScreenAwake;
    if (*text == unlockedVisibilityObject)
        return settings.showWhenUnlocked;
    if (const std::optional<LyricStyle> style = fromRawValue<LyricStyle>(*text))
        return *style == settings.style;
    return std::nullopt;
}

std::optional<LyricStyle> styleOf(const QVariant& represented)
{
    const std::optional<QString> text = stringOf(represented);
    return text ? fromRawValue<LyricStyle>(*text) : std::nullopt;
}

std::optional<LyricFont> fontOf(const QVariant& represented)
{
    const std::optional<QString> text = stringOf(represented);
    if (!text || !text->startsWith(fontPrefix))
        return std::nullopt;
    return fromRawValue<LyricFont>(QStringView(*text).mid(QStringView(fontPrefix).size()));
}

std::optional<ColorSlot> colorSlotOf(const QVariant& represented)
{
    const std::optional<QString> text = stringOf(represented);
    if (!text)
        return std::nullopt;
    return settings_detail::fromRawValueIn(settings_detail::colorSlots, QStringView(*text));
}

std::optional<quint32> displayIdOf(const QVariant& represented)
{
    switch (represented.typeId()) {
    case QMetaType::UInt:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: {
        bool ok = false;
        const qlonglong value = represented.toLongLong(&ok);
        if (represented.typeId() == QMetaType::ULongLong && represented.toULongLong() > std::numeric_limits<quint32>::max())
            return std::nullopt;
        if (!ok || value < 0 || value > qlonglong(std::numeric_limits<quint32>::max()))
            return std::nullopt;
        return quint32(value);
    }
    default:
        return std::nullopt;
    }
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

QString colorPanelTitle(ColorSlot slot)
{
    return QStringLiteral("Zuvik — ") + colorSlotLabel(slot);
}

}  // namespace status_menu
