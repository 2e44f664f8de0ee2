#include "settings/AppSettings.h"
#include "settings/JsonFileDefaultsStore.h"

#include "foundation/DiagLog.h"
#include "SettingsTestSupport.h"

#include <QJsonArray>

namespace {

class Settings : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("Orvane/defaults.json")); }
    std::unique_ptr<JsonFileDefaultsStore> store = std::make_unique<JsonFileDefaultsStore>(path());
    std::unique_ptr<AppSettings> settings = std::make_unique<AppSettings>(*store);

    void SetUp() override
    {
        DiagLog::shared().waitUntilWritten();
        logStart = readLog().size();
    }
    QStringList newLogMessages()
    {
        DiagLog::shared().waitUntilWritten();
        QStringList messages;
        for (const QString& line : readLog().mid(logStart).split(u'\n', Qt::SkipEmptyParts))
            messages.append(line.mid(14));  // after "HH:mm:ss.zzz  "
        return messages;
    }
    QJsonValue stored(const char* key) const { return readJsonObject(path()).value(QLatin1String(key)); }
    void restart()
    {
        settings.reset();
        store = std::make_unique<JsonFileDefaultsStore>(path());
        settings = std::make_unique<AppSettings>(*store);
    }
    qsizetype logStart = 0;
};

TEST_F(Settings, HandlersStoreAndLogTheirLines)
{
    settings->setStyle(LyricStyle::fisheyeVisual);
    settings->setAutoSyncColors(false);
    settings->setKeepScreenAwake(false);
    settings->setShowWhenUnlocked(true);
    settings->setLyricFont(LyricFont::sfPro);
    settings->setTextScale(1.25);
    EXPECT_EQ(newLogMessages(), (QStringList{"style → Fisheye Visual", "auto sync colors → false",
                                             "keep screen awake → false", "non-lockscreen visibility → true",
                                             "font → SF Pro"}));
    EXPECT_EQ(stored("lyricStyle").toString(), QStringLiteral("Fisheye Visual"));
    EXPECT_EQ(stored("autoSyncColors"), QJsonValue(false));
    EXPECT_EQ(stored("keepScreenAwake"), QJsonValue(false));
    EXPECT_EQ(stored("showWhenUnlocked"), QJsonValue(true));
    EXPECT_EQ(stored("lyricFont").toString(), QStringLiteral("SF Pro"));
    EXPECT_EQ(stored("textScale").toDouble(), 1.25);
}

TEST_F(Settings, EverySettingSurvivesARestart)
{
    settings->setStyle(LyricStyle::visual);
    settings->setColor(Color{1, 0, 0, 0.7}, ColorSlot::highlight);
    settings->setAutoSyncColors(true);
    settings->setKeepScreenAwake(false);
    settings->setShowWhenUnlocked(false);
    settings->setLyricFont(LyricFont::didot);
    settings->setTextScale(0.75);
    settings->toggleDisplay(42);
    settings->toggleDisplay(4294967295u);
    restart();
    EXPECT_EQ(settings->style(), LyricStyle::visual);
    EXPECT_EQ(colorHexString(settings->highlightColor()), QStringLiteral("#FF0000B3"));
    EXPECT_TRUE(settings->autoSyncColors());
    EXPECT_FALSE(settings->keepScreenAwake());
    EXPECT_FALSE(settings->showWhenUnlocked());
    EXPECT_EQ(settings->lyricFont(), LyricFont::didot);
    EXPECT_EQ(settings->textScale(), 0.75);
    EXPECT_EQ(settings->disabledDisplays(), (QSet<quint32>{42, 4294967295u}));
}

TEST_F(Settings, AssignmentPublishesEvenWhenUnchanged)
{
    QList<LyricStyle> seen;
    QObject::connect(settings.get(), &AppSettings::styleChanged, [&](LyricStyle s) { seen.append(s); });
    settings->setStyle(LyricStyle::ship);
    settings->setStyle(LyricStyle::ship);
    EXPECT_EQ(seen, (QList<LyricStyle>{LyricStyle::ship, LyricStyle::ship}));
}

TEST_F(Settings, EffectsRunAfterTheKeyIsStored)
{
    QJsonValue storedWhenAsked;
    QObject::connect(settings.get(), &AppSettings::screenAwakeUpdateRequested,
                     [&] { storedWhenAsked = stored("keepScreenAwake"); });
    settings->setKeepScreenAwake(false);
    EXPECT_EQ(storedWhenAsked, QJsonValue(false));

    bool refreshed = false;
    QObject::connect(settings.get(), &AppSettings::artworkRefreshRequested, [&] { refreshed = true; });
    settings->setAutoSyncColors(false);
    EXPECT_FALSE(refreshed);
    settings->setAutoSyncColors(true);
    EXPECT_TRUE(refreshed);
}

TEST_F(Settings, ResetColorsStoresTheDefaults)
{
    settings->setColor(Color{0, 0, 1, 1}, ColorSlot::text);
    settings->resetColors();
    EXPECT_EQ(stored("color.text").toString(), QStringLiteral("#FFFFFFFF"));
    EXPECT_EQ(stored("color.highlight").toString(), QStringLiteral("#FFFFFFFF"));
    EXPECT_EQ(stored("color.secondary").toString(), QStringLiteral("#FFFFFFB3"));
    EXPECT_EQ(settings->textColor(), Color::white());
}

TEST_F(Settings, ArtworkAccentIsPublishedButNeverStored)
{
    settings->setColor(Color{0, 0, 1, 1}, ColorSlot::text);
    const QJsonObject before = readJsonObject(path());
    settings->applyArtworkAccent(Color{1, 0, 0, 1});
    EXPECT_EQ(readJsonObject(path()), before);
    expectColorNear(settings->textColor(), Color{1, 0.55, 0.55, 1});  // saturation capped at 0.45
    EXPECT_NEAR(settings->textColor().saturation(), 0.45, 1e-12);
    EXPECT_EQ(settings->highlightColor(), (Color{1, 0, 0, 1}));
    expectColorNear(settings->secondaryColor(), Color{1, 0.55, 0.55, 0.7});
}

TEST_F(Settings, TurningAutoSyncOffRestoresTheColorsLastSet)
{
    settings->setColor(Color{0, 0, 1, 1}, ColorSlot::text);
    settings->setAutoSyncColors(true);
    settings->applyArtworkAccent(Color{0, 1, 0, 1});
    ASSERT_NE(settings->textColor(), (Color{0, 0, 1, 1}));
    settings->setAutoSyncColors(false);
    EXPECT_EQ(settings->textColor(), (Color{0, 0, 1, 1}));
    EXPECT_EQ(settings->highlightColor(), Color::white());
    EXPECT_EQ(settings->secondaryColor(), Color::white(0.7));
}

TEST_F(Settings, ToggleDisplayTwiceRestoresTheSetAndLogsOffThenOn)
{
    settings->toggleDisplay(2);
    EXPECT_EQ(stored("disabledDisplays").toArray(), QJsonArray{QStringLiteral("2")});
    settings->toggleDisplay(2);
    EXPECT_TRUE(settings->disabledDisplays().isEmpty());
    EXPECT_EQ(stored("disabledDisplays").toArray(), QJsonArray{});
    EXPECT_EQ(newLogMessages(), (QStringList{"display 2 → off", "display 2 → on"}));
}

struct ContrastCase {
    const char* name;
    Color highlight;
    Color expected;
};

class Contrast : public Settings, public ::testing::WithParamInterface<ContrastCase> {};

TEST_P(Contrast, PicksBlackOrWhite)
{
    settings->setColor(GetParam().highlight, ColorSlot::highlight);
    EXPECT_EQ(settings->highlightContrastColor(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Luma, Contrast,
                         ::testing::Values(ContrastCase{"Yellow", Color{1, 1, 0, 1}, Color::black()},
                                           ContrastCase{"Blue", Color{0, 0, 1, 1}, Color::white()},
                                           ContrastCase{"ExactlyPointFiftyFiveIsWhite", Color{0.55, 0.55, 0.55, 1}, Color::white()},
                                           ContrastCase{"JustAbove", Color{0.5501, 0.5501, 0.5501, 1}, Color::black()},
                                           ContrastCase{"White", Color::white(), Color::black()}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DrawingTextScale, ClampsForDrawingOnly)
{
    EXPECT_EQ(drawingTextScale(1e308), 4.0);
    EXPECT_EQ(drawingTextScale(0.01), 0.25);
    EXPECT_EQ(drawingTextScale(1.3), 1.3);
    EXPECT_EQ(drawingTextScale(std::numeric_limits<double>::quiet_NaN()), 1.0);
    EXPECT_EQ(drawingTextScale(-std::numeric_limits<double>::infinity()), 0.25);
}

}  // namespace
