// The status menu as data: its items in order, the display items, check marks and the decoding of
// represented objects.
#include "MenuPrinting.h"

#include "app/StatusMenuModel.h"

#include <gtest/gtest.h>

using namespace status_menu;

namespace {

struct ItemRow {
    MenuItemKind kind;
    const char16_t* title;
    MenuAction action;
    QVariant represented;
    int tag = 0;
};

QVariant text(const char16_t* s)
{
    return QString::fromUtf16(s);
}

// Top to bottom, as the menu must show them.
const QList<ItemRow>& expectedItems()
{
    using K = MenuItemKind;
    using A = MenuAction;
    static const QList<ItemRow> rows = {
        {K::header, u"Style", A::none, {}},
        {K::action, u"Ship", A::pickStyle, text(u"Ship")},
        {K::action, u"Fisheye", A::pickStyle, text(u"Fisheye")},
        {K::action, u"Visual", A::pickStyle, text(u"Visual")},
        {K::action, u"Fisheye Visual", A::pickStyle, text(u"Fisheye Visual")},
        {K::separator, u"", A::none, {}},
        {K::action, u"Keep Screen Awake", A::toggleKeepAwake, text(u"keepAwake")},
        {K::action, u"Non-lockscreen Visibility", A::toggleUnlockedVisibility, text(u"unlockedVisibility")},
        {K::separator, u"", A::none, {}},
        {K::header, u"Font", A::none, {}},
        {K::action, u"SF Pro", A::pickFont, text(u"font:SF Pro")},
        {K::action, u"SF Rounded", A::pickFont, text(u"font:SF Rounded")},
        {K::action, u"New York", A::pickFont, text(u"font:New York")},
        {K::action, u"Helvetica Neue", A::pickFont, text(u"font:Helvetica Neue")},
        {K::action, u"Avenir Next", A::pickFont, text(u"font:Avenir Next")},
        {K::action, u"Futura", A::pickFont, text(u"font:Futura")},
        {K::action, u"Didot", A::pickFont, text(u"font:Didot")},
        {K::separator, u"", A::none, {}},
        {K::header, u"Text Size", A::none, {}},
        {K::textSizeControl, u"", A::none, {}},
        {K::separator, u"", A::none, {}},
        {K::header, u"Display", A::none, {}, 701},
        {K::separator, u"", A::none, {}},
        {K::header, u"Color", A::none, {}},
        {K::action, u"Auto Sync", A::toggleAutoSync, text(u"autoSync")},
        {K::action, u"Lyric Text…", A::pickColor, text(u"text")},
        {K::action, u"Highlight…", A::pickColor, text(u"highlight")},
        {K::action, u"Secondary Text…", A::pickColor, text(u"secondary")},
        {K::action, u"Reset Colors", A::resetColors, {}},
        {K::separator, u"", A::none, {}},
        {K::header, u"Lyrics", A::none, {}},
        {K::action, u"Lyrics Earlier (\u22120.1 s)", A::lyricsEarlier, {}, 703},
        {K::action, u"Lyrics Later (+0.1 s)", A::lyricsLater, {}, 703},
        {K::action, u"Reset Timing", A::resetTiming, {}, 703},
        {K::action, u"Wrong Lyrics \u2014 Try Another", A::rejectLyrics, {}, 706},
        {K::separator, u"", A::none, {}},
        {K::submenu, u"Players", A::none, {}, 704},
        {K::separator, u"", A::none, {}},
        {K::action, u"Check for Updates…", A::checkForUpdates, {}},
        {K::separator, u"", A::none, {}},
        {K::action, u"Quit Zuvik", A::quit, {}},
    };
    return rows;
}

TEST(StatusMenuItems, AreTheFortyOneInOrderWithTitlesActionsObjectsAndTags)
{
    const QList<MenuItemSpec> items = fixedItems();
    ASSERT_EQ(items.size(), 41);
    ASSERT_EQ(expectedItems().size(), 41);
    for (qsizetype i = 0; i < items.size(); ++i) {
        const ItemRow& row = expectedItems()[i];
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(items[i].kind, row.kind);
        EXPECT_EQ(items[i].title, QString::fromUtf16(row.title));
        EXPECT_EQ(items[i].action, row.action);
        EXPECT_EQ(items[i].represented, row.represented);
        EXPECT_EQ(items[i].represented.typeId(), row.represented.typeId());
        EXPECT_EQ(items[i].tag, row.tag);
    }
}

TEST(StatusMenuItems, OnlyQuitHasAKeyEquivalentAndOnlyFontsTheirOwnFamily)
{
    const QList<MenuItemSpec> items = fixedItems();
    for (const MenuItemSpec& item : items) {
        EXPECT_EQ(item.keyEquivalent, item.action == MenuAction::quit ? QStringLiteral("q") : QString());
        EXPECT_EQ(item.titleFont.has_value(), item.action == MenuAction::pickFont);
        if (item.titleFont) {
            EXPECT_EQ(rawValue(*item.titleFont), item.title);
        }
    }
}

const QList<ScreenEntry> twoScreens = {{11, QStringLiteral("LEFT")}, {22, QStringLiteral("RIGHT")}};

QList<QString> displayTitles(const QList<MenuItemSpec>& items)
{
    QList<QString> titles;
    for (const MenuItemSpec& item : items) {
        if (item.tag == displayItemTag)
            titles.append(item.title);
    }
    return titles;
}

TEST(DisplayItems, GoDirectlyBelowTheHeaderInScreenOrder)
{
    const QList<MenuItemSpec> items = withDisplayItems(fixedItems(), twoScreens);
    ASSERT_EQ(items.size(), fixedItems().size() + 2);
    EXPECT_EQ(items[21].tag, displayHeaderTag);
    EXPECT_EQ(items[22].title, QStringLiteral("LEFT"));
    EXPECT_EQ(items[22].represented, QVariant::fromValue<uint>(11));
    EXPECT_EQ(items[22].action, MenuAction::toggleDisplay);
    EXPECT_EQ(items[23].title, QStringLiteral("RIGHT"));
    EXPECT_EQ(items[24].kind, MenuItemKind::separator);
}

TEST(DisplayItems, OpeningTwiceLeavesOneSetAndFollowsTheScreensOfTheMoment)
{
    const QList<MenuItemSpec> once = withDisplayItems(fixedItems(), twoScreens);
    const QList<MenuItemSpec> twice = withDisplayItems(once, twoScreens);
    EXPECT_EQ(twice, once);
    EXPECT_EQ(displayTitles(twice), (QList<QString>{QStringLiteral("LEFT"), QStringLiteral("RIGHT")}));
    const QList<MenuItemSpec> unplugged = withDisplayItems(twice, {{22, QStringLiteral("RIGHT")}});
    EXPECT_EQ(displayTitles(unplugged), QList<QString>{QStringLiteral("RIGHT")});
    EXPECT_EQ(withDisplayItems(unplugged, {}), fixedItems());
}

TEST(DisplayItems, AScreenWithoutADisplayIdGetsNoItem)
{
    const QList<MenuItemSpec> items = withDisplayItems(fixedItems(), {{0, QStringLiteral("ghost")}, {5, QStringLiteral("real")}});
    EXPECT_EQ(displayTitles(items), QList<QString>{QStringLiteral("real")});
}

TEST(DisplayItems, WithoutTheHeaderTheOldOnesGoAndNoneComeBack)
{
    QList<MenuItemSpec> items = withDisplayItems(fixedItems(), twoScreens);
    items.removeAt(21);  // the header
    EXPECT_TRUE(displayTitles(withDisplayItems(items, twoScreens)).isEmpty());
}

// A row's words as a test name.
std::string testName(std::string name)
{
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    }
    return name;
}

struct CheckCase {
    const char* name;
    QVariant represented;
    MenuSettings settings;
    std::optional<bool> checked;
};

class CheckMarks : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckMarks, FollowTheSettings)
{
    EXPECT_EQ(checkMark(GetParam().represented, GetParam().settings), GetParam().checked);
}

MenuSettings with(auto change)
{
    MenuSettings settings;
    change(settings);
    return settings;
}

INSTANTIATE_TEST_SUITE_P(StatusMenu, CheckMarks, ::testing::Values(
    CheckCase{"the chosen style", text(u"Fisheye Visual"), with([](auto& s) { s.style = LyricStyle::fisheyeVisual; }), true},
    CheckCase{"another style", text(u"Fisheye"), with([](auto& s) { s.style = LyricStyle::fisheyeVisual; }), false},
    CheckCase{"a style in lower case is no style", text(u"fisheye"), {}, std::nullopt},
    CheckCase{"the chosen font", text(u"font:Didot"), with([](auto& s) { s.font = LyricFont::didot; }), true},
    CheckCase{"another font", text(u"font:SF Pro"), with([](auto& s) { s.font = LyricFont::didot; }), false},
    CheckCase{"an unknown font is unchecked", text(u"font:Comic"), {}, false},
    CheckCase{"auto sync off", text(u"autoSync"), {}, false},
    CheckCase{"auto sync on", text(u"autoSync"), with([](auto& s) { s.autoSyncColors = true; }), true},
    CheckCase{"keep awake by default", text(u"keepAwake"), {}, true},
    CheckCase{"keep awake off", text(u"keepAwake"), with([](auto& s) { s.keepScreenAwake = false; }), false},
    CheckCase{"visibility off", text(u"unlockedVisibility"), with([](auto& s) { s.showWhenUnlocked = false; }), false},
    CheckCase{"an enabled display", QVariant::fromValue<uint>(7), with([](auto& s) { s.disabledDisplays = {8}; }), true},
    CheckCase{"a disabled display", QVariant::fromValue<uint>(8), with([](auto& s) { s.disabledDisplays = {8}; }), false},
    CheckCase{"a colour slot has a swatch, not a mark", text(u"highlight"), {}, std::nullopt},
    CheckCase{"no object", QVariant(), {}, std::nullopt}),
    [](const auto& info) { return testName(info.param.name); });

struct DecodeCase {
    const char* name;
    QVariant represented;
    std::optional<LyricStyle> style;
    std::optional<LyricFont> font;
    std::optional<ColorSlot> slot;
    std::optional<quint32> display;
};

class Decoding : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Decoding, YieldsOnlyWhatTheObjectNames)
{
    const DecodeCase& c = GetParam();
    EXPECT_EQ(styleOf(c.represented), c.style);
    EXPECT_EQ(fontOf(c.represented), c.font);
    EXPECT_EQ(colorSlotOf(c.represented), c.slot);
    EXPECT_EQ(status_menu::displayIdOf(c.represented), c.display);
}

INSTANTIATE_TEST_SUITE_P(StatusMenu, Decoding, ::testing::Values(
    DecodeCase{"style", text(u"Visual"), LyricStyle::visual, {}, {}, {}},
    DecodeCase{"style_with_a_space", text(u"Fisheye Visual"), LyricStyle::fisheyeVisual, {}, {}, {}},
    DecodeCase{"style_in_another_case", text(u"VISUAL"), {}, {}, {}, {}},
    DecodeCase{"font", text(u"font:Avenir Next"), {}, LyricFont::avenirNext, {}, {}},
    DecodeCase{"font_without_prefix", text(u"Avenir Next"), {}, {}, {}, {}},
    DecodeCase{"prefix_alone", text(u"font:"), {}, {}, {}, {}},
    DecodeCase{"slot", text(u"secondary"), {}, {}, ColorSlot::secondary, {}},
    DecodeCase{"slot_label_is_not_a_slot", text(u"Highlight"), {}, {}, {}, {}},
    DecodeCase{"display", QVariant::fromValue<uint>(4294967295u), {}, {}, {}, 4294967295u},
    DecodeCase{"display_zero", QVariant::fromValue<uint>(0), {}, {}, {}, 0u},
    DecodeCase{"negative_number", QVariant(-1), {}, {}, {}, {}},
    DecodeCase{"number_past_32_bits", QVariant::fromValue<qulonglong>(4294967296ull), {}, {}, {}, {}},
    DecodeCase{"digits_as_a_string", text(u"7"), {}, {}, {}, {}},
    DecodeCase{"a_fraction", QVariant(7.5), {}, {}, {}, {}},
    DecodeCase{"nothing", QVariant(), {}, {}, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ColorPanel, IsTitledAfterTheSlot)
{
    EXPECT_EQ(colorPanelTitle(ColorSlot::text), QStringLiteral("Zuvik — Lyric Text"));
    EXPECT_EQ(colorPanelTitle(ColorSlot::highlight), QStringLiteral("Zuvik — Highlight"));
    EXPECT_EQ(colorPanelTitle(ColorSlot::secondary), QStringLiteral("Zuvik — Secondary Text"));
}

}  // namespace
