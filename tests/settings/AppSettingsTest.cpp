#include "LogLines.h"
#include "SettingsTestSupport.h"
#include <QJsonArray>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
using Settings = SettingsFile;

TEST_F(Settings, AssignmentPublishesEvenWhenUnchangedAndEffectsRunAfterTheKeyIsStored)
{
    QList<LyricStyle> seen;
    QObject::connect(settings.get(), &AppSettings::styleChanged, [&](LyricStyle s) { seen.append(s); });
    settings->setStyle(LyricStyle::ship);
    settings->setStyle(LyricStyle::ship);
    EXPECT_EQ(seen, (QList<LyricStyle>{LyricStyle::ship, LyricStyle::ship}));
    QJsonValue storedWhenAsked;
    QObject::connect(settings.get(), &AppSettings::screenAwakeUpdateRequested,
                     [&] { storedWhenAsked = file().value(QLatin1String("keepScreenAwake")); });
    settings->setKeepScreenAwake(false);
    EXPECT_EQ(storedWhenAsked, QJsonValue(false));
}

TEST_F(Settings, ArtworkAccentIsNeverStoredAutoSyncOffRestoresSavedColoursResetStoresDefaultsAndContrastFollows)
{
    settings->setColor(Color{0, 0, 1, 1}, ColorSlot::text);
    settings->setAutoSyncColors(true);
    const QJsonObject before = file();
    settings->applyArtworkAccent(Color{1, 0, 0, 1});
    EXPECT_EQ(file(), before);
    expectColorNear(settings->textColor(), Color{1, 0.55, 0.55, 1});  // saturation capped at 0.45
    EXPECT_EQ(settings->highlightColor(), (Color{1, 0, 0, 1}));
    expectColorNear(settings->secondaryColor(), Color{1, 0.55, 0.55, 0.7});
    settings->setAutoSyncColors(false);
    EXPECT_EQ(std::tuple(settings->textColor(), settings->highlightColor(), settings->secondaryColor()),
              std::tuple(Color{0, 0, 1, 1}, Color::white(), Color::white(0.7)));
    settings->resetColors();
    EXPECT_EQ(settings->textColor(), Color::white());
    for (const auto& [key, hex] : {std::pair("color.text", "#FFFFFFFF"), std::pair("color.highlight", "#FFFFFFFF"),
                                   std::pair("color.secondary", "#FFFFFFB3")})
        EXPECT_EQ(file().value(QLatin1String(key)).toString(), QLatin1String(hex));
    // The colour drawn on the highlight is black above luma 0.55.
    for (const auto& [highlight, contrast] :
         {std::pair(Color{1, 1, 0, 1}, Color::black()), std::pair(Color{0, 0, 1, 1}, Color::white()),
          std::pair(Color{0.55, 0.55, 0.55, 1}, Color::white()),
          std::pair(Color{0.5501, 0.5501, 0.5501, 1}, Color::black())}) {
        settings->setColor(highlight, ColorSlot::highlight);
        EXPECT_EQ(settings->highlightContrastColor(), contrast);
    }
}

TEST_F(Settings, ToggleDisplayTwiceRestoresTheSetAndLogsOffThenOn)
{
    LogLines log;
    settings->toggleDisplay(2);
    EXPECT_EQ(file().value(QLatin1String("disabledDisplays")), QJsonArray{u"2"_s});
    settings->toggleDisplay(2);
    EXPECT_EQ(file().value(QLatin1String("disabledDisplays")), QJsonArray{});
    EXPECT_EQ(log.newMessages(), (QStringList{"display 2 → off", "display 2 → on"}));
}

TEST_F(Settings, OwnWritesAreNotReportedAnotherProcessesChangeIsPublishedWithItsEffectsAndLogged)
{
    QSignalSpy outside(store.get(), &DefaultsStore::changedExternally);
    settings->setTextScale(1.0);  // creates the file
    settings->setStyle(LyricStyle::visual);
    QTest::qWait(400);  // give the watcher every chance to fire
    EXPECT_TRUE(outside.isEmpty());
    bool screenAwakeAsked = false;
    QObject::connect(settings.get(), &AppSettings::screenAwakeUpdateRequested, [&] { screenAwakeAsked = true; });
    LogLines log;
    QJsonObject edited = file();
    edited.insert(u"lyricStyle"_s, u"Fisheye"_s);
    edited.insert(u"keepScreenAwake"_s, false);
    edited.insert(u"color.text"_s, u"#00FF00FF"_s);
    writeFile(QJsonDocument(edited).toJson());
    EXPECT_TRUE(QTest::qWaitFor([&] { return settings->style() == LyricStyle::fisheye; }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !settings->keepScreenAwake(); }, 1000));
    EXPECT_TRUE(screenAwakeAsked);
    EXPECT_EQ(log.newMessages(), QStringList{u"keep screen awake → false"_s});
    EXPECT_EQ(settings->textColor(), (Color{0, 1, 0, 1}));
    EXPECT_EQ(settings->textScale(), 1.0);  // untouched key keeps its value
    // A second edit after our own write is seen too: the watch follows the replaced file.
    settings->setLyricFont(LyricFont::futura);
    edited = file();
    edited.insert(u"lyricStyle"_s, u"Ship"_s);
    writeFile(QJsonDocument(edited).toJson());
    EXPECT_TRUE(QTest::qWaitFor([&] { return settings->style() == LyricStyle::ship; }, 10000));
    EXPECT_EQ(settings->lyricFont(), LyricFont::futura);
}
}  // namespace
