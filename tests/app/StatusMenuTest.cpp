// The status menu's widgets on the offscreen platform, every item driven as a click would.
#include "MenuTestSupport.h"
#include "EventLoopWait.h"
#include "LoopbackHttpServer.h"
#include "app/ScreenIdentity.h"
#include "settings/FontMapping.h"
#include <QColorDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

class Menu : public ::testing::Test {
protected:
    LoopbackHttpServer server;
    MenuParts parts{{server.baseUrl().resolved(QUrl(QStringLiteral("/appcast.xml"))), QStringLiteral("0.1.0"), 5s}};
    StatusMenu& menu = parts.menu;
    AppSettings& settings = parts.settings;

    void click(const QString& title, const QMenu* in = nullptr)
    {
        ASSERT_TRUE(parts.action(title, in)) << title.toStdString();
        parts.action(title, in)->trigger();
    }
};

TEST_F(Menu, ReadsInOrderWithItsChecksAndEnabledStatesEachTimeItOpens)
{
    menu.refresh();
    const QString screen = displayNameOf(*QGuiApplication::primaryScreen()) + QStringLiteral(" ✓");
    const QStringList expected =
        QStringLiteral(
            "[Style]|Ship ✓|Fisheye|Visual|Fisheye Visual|—|Keep Screen Awake ✓|Non-lockscreen Visibility ✓|Start at Login|—|[Font]|SF Pro ✓|"
            "SF Rounded|New York|Helvetica Neue|Avenir Next|Futura|Didot|—|[Text Size]||—|[Display]|%1|—|[Color]|Auto Sync|"
            "Lyric Text…|Highlight…|Secondary Text…|Reset Colors|—|[Lyrics]|[Lyrics Earlier (\u22120.1 s)]|[Lyrics Later (+0.1 s)]|"
            "[Reset Timing]|[Wrong Lyrics \u2014 Try Another]|Sources|—|Players|—|Check for Updates…|—|Quit Zuvik")
            .arg(screen)
            .split(u'|');
    EXPECT_EQ(menuLines(menu.menu()), expected);
    EXPECT_EQ(parts.action(QStringLiteral("Didot"))->font().family(), makeFont(LyricFont::didot, 13).family());
    EXPECT_EQ(parts.action(QStringLiteral("Quit Zuvik"))->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));

    settings.setStyle(LyricStyle::fisheyeVisual);
    settings.setLyricFont(LyricFont::futura);
    settings.setKeepScreenAwake(false);
    settings.setAutoSyncColors(true);
    settings.toggleDisplay(displayIdOf(*QGuiApplication::primaryScreen()));
    menu.setTrackAvailable(true);
    menu.refresh();
    menu.refresh();  // the display items are built again, not added again
    const QStringList lines = menuLines(menu.menu());
    EXPECT_EQ(lines.size(), expected.size());
    for (const char* line : {"Ship", "Fisheye Visual ✓", "Keep Screen Awake", "SF Pro", "Futura ✓", "Auto Sync ✓",
                             "Lyrics Earlier (\u22120.1 s)", "Reset Timing"})
        EXPECT_TRUE(lines.contains(QString::fromUtf8(line))) << line;
    EXPECT_EQ(lines[23], screen.chopped(2));
    const QString tryAnother = QStringLiteral("Wrong Lyrics \u2014 Try Another");
    for (const auto& [state, line] : {std::pair(RejectionState::available, tryAnother),
                                      std::pair(RejectionState::noOtherMatch, QStringLiteral("[No Other Match]")),
                                      std::pair(RejectionState::unavailable, u'[' + tryAnother + u']'),
                                      std::pair(RejectionState::available, tryAnother)}) {
        menu.setRejectionState(state);
        EXPECT_EQ(menuLines(menu.menu()).value(36), line);
    }
}

TEST_F(Menu, ClicksChangeTheSettingsAndAskForTheRest)
{
    using Click = std::pair<const char*, bool (*)(const AppSettings&)>;
    settings.setColor(Color{0, 1, 0, 1}, ColorSlot::text);
    for (const Click& c : {Click{"Fisheye Visual", [](auto& s) { return s.style() == LyricStyle::fisheyeVisual; }},
                           Click{"Didot", [](auto& s) { return s.lyricFont() == LyricFont::didot; }},
                           Click{"Keep Screen Awake", [](auto& s) { return !s.keepScreenAwake(); }},
                           Click{"Keep Screen Awake", [](auto& s) { return s.keepScreenAwake(); }},
                           Click{"Non-lockscreen Visibility", [](auto& s) { return !s.showWhenUnlocked(); }},
                           Click{"Auto Sync", [](auto& s) { return s.autoSyncColors(); }},
                           Click{"Reset Colors", [](auto& s) { return s.textColor() == Color::white(); }}}) {
        click(QString::fromUtf8(c.first));
        EXPECT_TRUE(c.second(settings)) << c.first;
    }
    // Start at Login is the autostart entry: written, read back each time the menu opens.
    const QString entry = parts.folder.filePath(QStringLiteral("autostart/zuvik.desktop"));
    click(QStringLiteral("Start at Login"));
    menu.refresh();
    EXPECT_TRUE(QFile::exists(entry) && parts.action(QStringLiteral("Start at Login"))->isChecked());
    QFile::remove(entry);
    menu.refresh();
    EXPECT_FALSE(parts.action(QStringLiteral("Start at Login"))->isChecked());
    menu.menu().actions().at(23)->trigger();  // the display item (offscreen, the screen has no name)
    EXPECT_EQ(settings.disabledDisplays(), QSet<quint32>{displayIdOf(*QGuiApplication::primaryScreen())});
    QStringList heard;
    QObject::connect(&menu, &StatusMenu::quitRequested, [&] { heard.append("quit"); });
    QObject::connect(&menu, &StatusMenu::timingNudgeRequested, [&](double d) { heard.append(QString::number(d)); });
    QObject::connect(&menu, &StatusMenu::timingResetRequested, [&] { heard.append("reset"); });
    QObject::connect(&menu, &StatusMenu::rejectLyricsRequested, [&] { heard.append("reject"); });
    menu.setTrackAvailable(true);
    menu.setRejectionState(RejectionState::available);
    for (const char16_t* title : {u"Lyrics Earlier (\u22120.1 s)", u"Lyrics Later (+0.1 s)", u"Reset Timing",
                                  u"Wrong Lyrics \u2014 Try Another", u"Quit Zuvik"})
        click(QString::fromUtf16(title));
    EXPECT_EQ(heard, (QStringList{"-0.1", "0.1", "reset", "reject", "quit"}));
    server.setReply(QStringLiteral("/appcast.xml"),
                    {200,
                     "<rss xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\"><channel><item>"
                     "<description>Faster.</description><enclosure url=\"https://example.invalid/z.tar.gz\" "
                     "sparkle:version=\"0.3.0\"/></item></channel></rss>",
                     {}});
    click(QStringLiteral("Check for Updates…"));
    ASSERT_TRUE(waitFor([this] { return menu.updateDialog() != nullptr; }));
    QMessageBox* dialog = menu.updateDialog();
    EXPECT_TRUE(dialog->text() == QStringLiteral("Zuvik 0.3.0 is available") && dialog->detailedText() == "Faster."
                && dialog->isVisible() && !dialog->isModal());
    dialog->close();
    EXPECT_TRUE(waitFor([this] { return menu.updateDialog() == nullptr; }));  // gone with its window
}

TEST_F(Menu, TheSliderSpansHalfToOneAndAHalfAndOpeningMovesItWithoutWriting)
{
    QSlider* slider = menu.textScaleSlider();
    ASSERT_TRUE(slider && slider->hasTracking());
    for (const auto& [value, scale] :
         {std::pair(slider->minimum(), 0.5), std::pair(slider->maximum(), 1.5), std::pair(250, 0.75)}) {
        slider->setValue(value);
        EXPECT_DOUBLE_EQ(settings.textScale(), scale);
    }
    menu.textScaleResetButton()->click();
    EXPECT_EQ(settings.textScale(), 1.0);
    EXPECT_EQ(slider->value(), 500);

    for (const auto& [scale, value] :
         {std::pair(1.25, 750), std::pair(2.5, 1000), std::pair(0.1, 0), std::pair(std::nan(""), 500)}) {
        settings.setTextScale(scale);
        menu.refresh();
        EXPECT_EQ(slider->value(), value);
        EXPECT_TRUE(settings.textScale() == scale || std::isnan(scale)) << scale;
    }
}

TEST_F(Menu, TheColourPanelEditsOnlyTheLastSlotPickedAndTheSwatchShowsIt)
{
    click(QStringLiteral("Highlight…"));
    QColorDialog* panel = menu.colorPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->windowTitle() == QStringLiteral("Zuvik — Highlight") && panel->isVisible() && !panel->isModal()
                && panel->testOption(QColorDialog::ShowAlphaChannel));
    EXPECT_EQ(settings.highlightColor(), Color::white());  // opening it changes nothing
    panel->setCurrentColor(QColor(255, 0, 0, 128));
    EXPECT_EQ(colorHexString(settings.highlightColor()), QStringLiteral("#FF000080"));
    menu.refresh();
    const QImage swatch = parts.action(QStringLiteral("Highlight…"))->icon().pixmap(16, 16).toImage();
    EXPECT_EQ(swatch.pixelColor(8, 8), QColor(255, 0, 0, 128));
    panel->close();
    click(QStringLiteral("Secondary Text…"));
    EXPECT_EQ(panel->currentColor(), QColor(255, 255, 255, 179));
    panel->close();
    panel->setCurrentColor(QColor(0, 0, 255));  // closed, the panel still edits the last slot picked
    EXPECT_EQ(colorHexString(settings.secondaryColor()), QStringLiteral("#0000FFFF"));
    EXPECT_EQ(colorHexString(settings.highlightColor()), QStringLiteral("#FF000080"));
}

TEST_F(Menu, SourcesUncheckKeepingTheOrderButNeverTheLast)
{
    menu.refresh();
    QMenu* sources = menu.sourcesMenu();
    ASSERT_NE(sources, nullptr);
    EXPECT_EQ(menuLines(*sources), (QStringList{"NCM ✓", "LRCLIB ✓"}));
    for (const char* title : {"NCM", "LRCLIB", "NCM"})
        click(QString::fromUtf8(title), sources);
    EXPECT_EQ(settings.lyricSources(), (QStringList{"lrclib", "ncm"}));
    settings.setLyricSources({"ncm", "lrclib"});
    click(QStringLiteral("NCM"), sources);
    menu.refresh();
    EXPECT_EQ(menuLines(*sources), (QStringList{"NCM", "LRCLIB ✓"}));
}

TEST_F(Menu, PlayersListsThePlayersOnTheBusAndAClickStopsFollowingOne)
{
    parts.players.setPlayersSeen({QStringLiteral("firefox"), QStringLiteral("vlc")});
    menu.refresh();
    QMenu* players = menu.playersMenu();
    ASSERT_NE(players, nullptr);
    EXPECT_EQ(menuLines(*players), (QStringList{"firefox", "vlc ✓"}));
    click(QStringLiteral("vlc"), players);
    EXPECT_EQ(settings.playerPreferences().ignored.last(), QStringLiteral("vlc"));
    menu.refresh();
    EXPECT_EQ(menuLines(*players), (QStringList{"firefox", "vlc"}));
    parts.players.setPlayersSeen({});
    menu.refresh();
    EXPECT_EQ(menuLines(*players), QStringList{"[No Players Running]"});
    settings.setStyle(LyricStyle::visual);
    menu.popupAtPointer();  // refreshed as it pops up
    EXPECT_TRUE(menu.menu().isVisible() && parts.action(QStringLiteral("Visual"))->isChecked());
    menu.menu().hide();
}

}  // namespace
