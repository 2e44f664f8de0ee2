// The status menu's widgets on the offscreen platform: built as the model says, every item driven
// as a click would, with the settings, the defaults file and the log lines checked afterwards.
#include "MenuTestSupport.h"

#include "EventLoopWait.h"
#include "LogLines.h"
#include "LoopbackHttpServer.h"

#include "app/StatusMenuModel.h"
#include "platform/freedesktop/SessionLockState.h"
#include "settings/FontMapping.h"

#include <QColorDialog>
#include <QFile>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QSystemTrayIcon>
#include <QWidgetAction>

#include <gtest/gtest.h>

using namespace status_menu;
using namespace std::chrono_literals;

namespace {

QJsonObject storedFile(const JsonFileDefaultsStore& store)
{
    QFile file(store.filePath());
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
}

class Menu : public ::testing::Test {
protected:
    // No bus: the lock state reads as unlocked, as on a desktop without logind.
    SessionLockState lockState{QDBusConnection(QStringLiteral("no-system-bus")),
                               QDBusConnection(QStringLiteral("no-session-bus"))};
    MenuParts parts{lockState};
    StatusMenu& menu = parts.menu;
    AppSettings& settings = parts.settings;

    void click(const QString& title)
    {
        QAction* action = parts.action(title);
        ASSERT_NE(action, nullptr) << title.toStdString();
        action->trigger();
    }
};

TEST_F(Menu, TheWidgetsHoldTheModelsItemsAndTheDisplaysOfTheMoment)
{
    menu.refresh();
    QList<ScreenEntry> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.append({::displayIdOf(*screen), displayNameOf(*screen)});
    ASSERT_FALSE(screens.isEmpty());
    EXPECT_EQ(menu.items(), withDisplayItems(fixedItems(), screens));
}

TEST_F(Menu, HeadersAreDisabledAndFontTitlesAreDrawnInTheirFamily)
{
    // The timing items wait for a track to play.
    for (bool playing : {false, true, false}) {
        menu.setTrackAvailable(playing);
        for (QAction* action : menu.menu().actions()) {
            if (action->isSeparator() || qobject_cast<QWidgetAction*>(action))
                continue;
            const bool header = QStringList{QStringLiteral("Style"), QStringLiteral("Font"), QStringLiteral("Text Size"),
                                            QStringLiteral("Display"), QStringLiteral("Color"), QStringLiteral("Lyrics")}
                                    .contains(action->text());
            const int tag = action->property("zuvikMenuTag").toInt();
            const bool aboutTheTrack = tag == status_menu::trackItemTag;
            const bool aboutTheLyrics = tag == status_menu::rejectItemTag;  // waits for lyrics from the service
            EXPECT_EQ(action->isEnabled(), !header && !aboutTheLyrics && (!aboutTheTrack || playing))
                << action->text().toStdString();
        }
    }
    for (const auto& [font, raw] : settings_detail::lyricFonts) {
        const QAction* action = parts.action(raw.toString());
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->font().family(), makeFont(font, 13).family());
        EXPECT_DOUBLE_EQ(action->font().pointSizeF(), 13.0);
    }
    EXPECT_EQ(parts.action(QStringLiteral("Quit Zuvik"))->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
}

TEST_F(Menu, CheckMarksFollowTheSettingsEachTimeItOpens)
{
    settings.setStyle(LyricStyle::fisheyeVisual);
    settings.setLyricFont(LyricFont::futura);
    settings.setKeepScreenAwake(false);
    menu.refresh();
    for (const auto& [style, raw] : settings_detail::lyricStyles)
        EXPECT_EQ(parts.action(raw.toString())->isChecked(), style == LyricStyle::fisheyeVisual) << raw.toString().toStdString();
    for (const auto& [font, raw] : settings_detail::lyricFonts)
        EXPECT_EQ(parts.action(raw.toString())->isChecked(), font == LyricFont::futura);
    EXPECT_FALSE(parts.action(QStringLiteral("Keep Screen Awake"))->isChecked());
    EXPECT_TRUE(parts.action(QStringLiteral("Non-lockscreen Visibility"))->isChecked());
    EXPECT_FALSE(parts.action(QStringLiteral("Auto Sync"))->isChecked());
    settings.setAutoSyncColors(true);
    menu.refresh();
    EXPECT_TRUE(parts.action(QStringLiteral("Auto Sync"))->isChecked());
}

struct ClickCase {
    const char* title;
    const char* key;         // in the defaults file
    QJsonValue stored;       // what the click leaves there
    const char* logLine;     // what it logs
};

class Clicks : public Menu, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(Clicks, StoreAndLogTheSetting)
{
    const ClickCase& c = GetParam();
    LogLines log;
    click(QString::fromUtf8(c.title));
    EXPECT_EQ(storedFile(parts.store).value(QString::fromUtf8(c.key)), c.stored);
    EXPECT_TRUE(log.newMessages().contains(QString::fromUtf8(c.logLine))) << log.newMessages().join(u'|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(StatusMenu, Clicks, ::testing::Values(
    ClickCase{"Fisheye Visual", "lyricStyle", QStringLiteral("Fisheye Visual"), "style → Fisheye Visual"},
    ClickCase{"Ship", "lyricStyle", QStringLiteral("Ship"), "style → Ship"},
    ClickCase{"Keep Screen Awake", "keepScreenAwake", false, "keep screen awake → false"},
    ClickCase{"Non-lockscreen Visibility", "showWhenUnlocked", false, "non-lockscreen visibility → false"},
    ClickCase{"SF Rounded", "lyricFont", QStringLiteral("SF Rounded"), "font → SF Rounded"},
    ClickCase{"Didot", "lyricFont", QStringLiteral("Didot"), "font → Didot"},
    ClickCase{"Auto Sync", "autoSyncColors", true, "auto sync colors → true"}),
    [](const auto& info) {
        std::string name = info.param.title;
        std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
        return name;
    });

TEST_F(Menu, TogglesGoBothWays)
{
    click(QStringLiteral("Auto Sync"));
    click(QStringLiteral("Auto Sync"));
    EXPECT_FALSE(settings.autoSyncColors());
    click(QStringLiteral("Keep Screen Awake"));
    click(QStringLiteral("Keep Screen Awake"));
    EXPECT_TRUE(settings.keepScreenAwake());
    EXPECT_EQ(storedFile(parts.store).value(QStringLiteral("keepScreenAwake")), QJsonValue(true));
}

TEST_F(Menu, TheSliderSpansHalfToOneAndAHalfAndResetGoesBackToOne)
{
    QSlider* slider = menu.textScaleSlider();
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->geometry(), QRect(14, 4, 158, 22));
    EXPECT_EQ(menu.textScaleResetButton()->geometry(), QRect(178, 3, 58, 24));
    EXPECT_EQ(menu.textScaleResetButton()->text(), QStringLiteral("Reset"));
    EXPECT_TRUE(slider->hasTracking());
    slider->setValue(slider->minimum());
    EXPECT_EQ(settings.textScale(), 0.5);
    slider->setValue(slider->maximum());
    EXPECT_EQ(settings.textScale(), 1.5);
    slider->setValue(slider->maximum() / 4);
    EXPECT_DOUBLE_EQ(settings.textScale(), 0.75);
    EXPECT_EQ(storedFile(parts.store).value(QStringLiteral("textScale")), QJsonValue(0.75));
    menu.textScaleResetButton()->click();
    EXPECT_EQ(settings.textScale(), 1.0);
    EXPECT_EQ(slider->value(), StatusMenu::sliderSteps / 2);
}

TEST_F(Menu, OpeningMovesTheSliderToTheStoredScaleWithoutWritingIt)
{
    settings.setTextScale(1.25);
    const QJsonObject before = storedFile(parts.store);
    menu.refresh();
    EXPECT_EQ(menu.textScaleSlider()->value(), 750);
    EXPECT_EQ(storedFile(parts.store), before);
    settings.setTextScale(2.5);  // beyond the slider: it sits at its end, the setting stays
    menu.refresh();
    EXPECT_EQ(menu.textScaleSlider()->value(), StatusMenu::sliderSteps);
    EXPECT_EQ(settings.textScale(), 2.5);
}

TEST_F(Menu, TheColourPanelEditsOnlyTheLastSlotPickedAndTheSwatchShowsIt)
{
    click(QStringLiteral("Highlight…"));
    QColorDialog* panel = menu.colorPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->windowTitle(), QStringLiteral("Zuvik — Highlight"));
    EXPECT_TRUE(panel->isVisible());
    EXPECT_FALSE(panel->isModal());
    EXPECT_TRUE(panel->testOption(QColorDialog::ShowAlphaChannel));
    EXPECT_EQ(settings.highlightColor(), Color::white());  // opening it changes nothing

    panel->setCurrentColor(QColor(255, 0, 0, 128));
    EXPECT_EQ(colorHexString(settings.highlightColor()), QStringLiteral("#FF000080"));
    EXPECT_EQ(settings.textColor(), Color::white());
    EXPECT_EQ(settings.secondaryColor(), Color::white(0.7));
    EXPECT_EQ(storedFile(parts.store).value(QStringLiteral("color.highlight")), QJsonValue(QStringLiteral("#FF000080")));

    menu.refresh();
    const QImage swatch = parts.action(QStringLiteral("Highlight…"))->icon().pixmap(16, 16).toImage();
    const QColor middle = swatch.pixelColor(8, 8);
    EXPECT_EQ(middle.red(), 255);
    EXPECT_EQ(middle.green(), 0);
    EXPECT_NEAR(middle.alpha(), 128, 2);
    EXPECT_EQ(swatch.pixelColor(0, 0).alpha(), 0);  // inset by one point

    panel->close();
    click(QStringLiteral("Secondary Text…"));
    EXPECT_EQ(panel->windowTitle(), QStringLiteral("Zuvik — Secondary Text"));
    EXPECT_EQ(panel->currentColor(), QColor(255, 255, 255, 179));
    panel->close();
    panel->setCurrentColor(QColor(0, 0, 255));  // closed, the panel still edits the last slot picked
    EXPECT_EQ(colorHexString(settings.secondaryColor()), QStringLiteral("#0000FFFF"));
    EXPECT_EQ(colorHexString(settings.highlightColor()), QStringLiteral("#FF000080"));
}

TEST_F(Menu, ResetColorsStoresTheDefaults)
{
    settings.setColor(Color{0, 1, 0, 1}, ColorSlot::text);
    click(QStringLiteral("Reset Colors"));
    const QJsonObject stored = storedFile(parts.store);
    EXPECT_EQ(stored.value(QStringLiteral("color.text")), QJsonValue(QStringLiteral("#FFFFFFFF")));
    EXPECT_EQ(stored.value(QStringLiteral("color.highlight")), QJsonValue(QStringLiteral("#FFFFFFFF")));
    EXPECT_EQ(stored.value(QStringLiteral("color.secondary")), QJsonValue(QStringLiteral("#FFFFFFB3")));
    EXPECT_EQ(settings.textColor(), Color::white());
}

TEST_F(Menu, ObjectsThatDoNotDecodeDoNothingAndLogNothing)
{
    const QJsonObject before = storedFile(parts.store);
    LogLines log;
    menu.pickStyle(QStringLiteral("fisheye"));
    menu.pickStyle(QVariant(2));
    menu.pickFont(QStringLiteral("Didot"));
    menu.pickFont(QStringLiteral("font:Comic Sans"));
    menu.pickColor(QStringLiteral("background"));
    menu.toggleDisplay(QStringLiteral("7"));
    menu.colorPanelChanged(Color::black());  // no slot picked yet
    EXPECT_EQ(storedFile(parts.store), before);
    EXPECT_EQ(menu.colorPanel(), nullptr);
    EXPECT_FALSE(menu.activeColorSlot().has_value());
    EXPECT_TRUE(log.newMessages().isEmpty());
    EXPECT_EQ(settings.style(), LyricStyle::ship);
}

TEST_F(Menu, ADisplayItemTogglesItsDisplayAndLogsIt)
{
    menu.refresh();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const quint32 id = ::displayIdOf(*screen);
    QAction* item = parts.displayAction(id);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), displayNameOf(*screen));
    EXPECT_TRUE(item->isChecked());
    LogLines log;
    item->trigger();
    EXPECT_TRUE(settings.disabledDisplays().contains(id));
    EXPECT_TRUE(log.newMessages().contains(QStringLiteral("display %1 → off").arg(id)));
    menu.refresh();
    item = parts.displayAction(id);
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(item->isChecked());
}

TEST_F(Menu, QuitAsksTheApplicationToEnd)
{
    bool quitting = false;
    QObject::connect(&menu, &StatusMenu::quitRequested, [&quitting] { quitting = true; });
    click(QStringLiteral("Quit Zuvik"));
    EXPECT_TRUE(quitting);
}

TEST_F(Menu, WithoutATrayItSaysHowToOpenTheMenu)
{
    // The offscreen platform has no system tray.
    LogLines log;
    menu.install();
    EXPECT_EQ(log.newMessages(),
              QStringList{QStringLiteral("status menu: no system tray — run 'zuvik --menu' to open the menu")});
    ASSERT_NE(menu.trayIcon(), nullptr);
    EXPECT_EQ(menu.trayIcon()->toolTip(), QStringLiteral("Zuvik"));
    EXPECT_EQ(menu.trayIcon()->contextMenu(), &menu.menu());
    EXPECT_FALSE(menu.trayIcon()->icon().isNull());
}

TEST_F(Menu, PoppingUpAtThePointerRefreshesFirst)
{
    settings.setStyle(LyricStyle::visual);
    menu.popupAtPointer();
    EXPECT_TRUE(menu.menu().isVisible());
    EXPECT_TRUE(parts.action(QStringLiteral("Visual"))->isChecked());
    menu.menu().hide();
}

TEST(MenuUpdates, CheckForUpdatesShowsTheOutcomeInANonModalDialog)
{
    LoopbackHttpServer server;
    server.setReply(QStringLiteral("/appcast.xml"),
                    {200,
                     "<rss version=\"2.0\" xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\"><channel>"
                     "<item><description>Faster.</description><enclosure url=\"https://example.invalid/z.tar.gz\" "
                     "sparkle:version=\"0.3.0\"/></item></channel></rss>",
                     {}});
    SessionLockState lockState{QDBusConnection(QStringLiteral("none-1")), QDBusConnection(QStringLiteral("none-2"))};
    MenuParts parts{lockState, {server.baseUrl().resolved(QUrl(QStringLiteral("/appcast.xml"))), QStringLiteral("0.1.0"), 5s}};
    parts.action(QStringLiteral("Check for Updates…"))->trigger();
    ASSERT_TRUE(waitFor([&parts] { return parts.menu.updateDialog() != nullptr; }));
    QMessageBox* dialog = parts.menu.updateDialog();
    EXPECT_EQ(dialog->text(), QStringLiteral("Zuvik 0.3.0 is available"));
    EXPECT_EQ(dialog->detailedText(), QStringLiteral("Faster."));
    EXPECT_TRUE(dialog->informativeText().contains(QStringLiteral("https://example.invalid/z.tar.gz")));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    dialog->close();
    EXPECT_TRUE(waitFor([&parts] { return parts.menu.updateDialog() == nullptr; }));  // gone with its window
}

TEST(MenuUpdates, ABuildWithoutAFeedSaysSo)
{
    SessionLockState lockState{QDBusConnection(QStringLiteral("none-3")), QDBusConnection(QStringLiteral("none-4"))};
    MenuParts parts{lockState, {QUrl(), QStringLiteral("0.1.0")}};
    parts.action(QStringLiteral("Check for Updates…"))->trigger();
    ASSERT_TRUE(waitFor([&parts] { return parts.menu.updateDialog() != nullptr; }));
    EXPECT_EQ(parts.menu.updateDialog()->text(), QStringLiteral("Updates are not configured for this build"));
}

}  // namespace

QAction* rejectItemOf(const QMenu& menu)
{
    for (QAction* action : menu.actions()) {
        if (action->property("zuvikMenuTag").toInt() == status_menu::rejectItemTag)
            return action;
    }
    return nullptr;
}

TEST_F(Menu, WrongLyricsItemFollowsTheRejectionStateAndAsksWhenClicked)
{
    struct Row {
        RejectionState state;
        const char16_t* title;
        bool enabled;
    };
    const auto rejectItem = [this] { return rejectItemOf(menu.menu()); };
    int asked = 0;
    QObject::connect(&menu, &StatusMenu::rejectLyricsRequested, [&asked] { ++asked; });
    for (const Row& row : {Row{RejectionState::available, u"Wrong Lyrics \u2014 Try Another", true},
                           Row{RejectionState::noOtherMatch, u"No Other Match", false},
                           Row{RejectionState::unavailable, u"Wrong Lyrics \u2014 Try Another", false},
                           Row{RejectionState::available, u"Wrong Lyrics \u2014 Try Another", true}}) {
        menu.setRejectionState(row.state);
        ASSERT_NE(rejectItem(), nullptr);
        EXPECT_EQ(rejectItem()->text(), QString::fromUtf16(row.title));
        EXPECT_EQ(rejectItem()->isEnabled(), row.enabled) << rejectItem()->text().toStdString();
    }
    rejectItem()->trigger();
    EXPECT_EQ(asked, 1);
}

TEST_F(Menu, PlayersListsThePlayersOnTheBusAndAClickStopsFollowingOne)
{
    PlayerRoster::shared().setPlayersSeen({QStringLiteral("firefox"), QStringLiteral("vlc")});
    menu.refresh();
    QMenu* players = menu.playersMenu();
    ASSERT_NE(players, nullptr);
    ASSERT_EQ(players->actions().size(), 2);
    QAction* firefox = players->actions().at(0);
    QAction* vlc = players->actions().at(1);
    EXPECT_EQ(vlc->text(), QStringLiteral("vlc"));
    EXPECT_FALSE(firefox->isChecked());
    EXPECT_TRUE(vlc->isChecked());

    LogLines log;
    vlc->trigger();
    EXPECT_FALSE(settings.playerPreferences().follows(u"vlc"));
    EXPECT_TRUE(log.newMessages().contains(QStringLiteral(
        "ignoredPlayers → firefox, chromium, chrome, brave, vivaldi, opera, edge, plasma-browser-integration, "
        "kdeconnect, playerctld, vlc")));
    menu.refresh();
    EXPECT_FALSE(players->actions().at(1)->isChecked());

    PlayerRoster::shared().setPlayersSeen({});
    menu.refresh();
    ASSERT_EQ(players->actions().size(), 1);
    EXPECT_EQ(players->actions().at(0)->text(), QStringLiteral("No Players Running"));
    EXPECT_FALSE(players->actions().at(0)->isEnabled());
}
