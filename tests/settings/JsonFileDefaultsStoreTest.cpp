#include "settings/AppSettings.h"
#include "settings/JsonFileDefaultsStore.h"

#include "SettingsTestSupport.h"

#include <QJsonArray>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

namespace {

class Store : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("Orvane/defaults.json")); }
};

TEST_F(Store, KeepsTypesApart)
{
    {
        JsonFileDefaultsStore store(path());
        store.setValue(QStringLiteral("b"), true);
        store.setValue(QStringLiteral("n"), 1.0);
        store.setValue(QStringLiteral("s"), QStringLiteral("true"));
        store.setValue(QStringLiteral("a"), QJsonArray{QStringLiteral("1")});
        store.remove(QStringLiteral("n"));
    }
    JsonFileDefaultsStore reopened(path());
    EXPECT_TRUE(reopened.value(QStringLiteral("b"))->isBool());
    EXPECT_TRUE(reopened.value(QStringLiteral("s"))->isString());
    EXPECT_TRUE(reopened.value(QStringLiteral("a"))->isArray());
    EXPECT_FALSE(reopened.value(QStringLiteral("n")).has_value());
}

TEST_F(Store, OwnWritesAreNotReportedAsOutsideChanges)
{
    JsonFileDefaultsStore store(path());
    QSignalSpy outside(&store, &DefaultsStore::changedExternally);
    store.setValue(QStringLiteral("lyricStyle"), QStringLiteral("Visual"));
    store.setValue(QStringLiteral("textScale"), 1.5);
    QTest::qWait(400);  // give the watcher every chance to fire
    EXPECT_EQ(outside.count(), 0);
}

TEST_F(Store, AnotherProcessesChangeIsPublishedWithItsEffects)
{
    JsonFileDefaultsStore store(path());
    AppSettings settings(store);
    settings.setTextScale(1.0);  // creates the file
    bool screenAwakeAsked = false;
    QObject::connect(&settings, &AppSettings::screenAwakeUpdateRequested, [&] { screenAwakeAsked = true; });

    QJsonObject edited = readJsonObject(path());
    edited.insert(QStringLiteral("lyricStyle"), QStringLiteral("Fisheye"));
    edited.insert(QStringLiteral("keepScreenAwake"), false);
    edited.insert(QStringLiteral("color.text"), QStringLiteral("#00FF00FF"));
    writeFile(path(), QJsonDocument(edited).toJson());

    EXPECT_TRUE(QTest::qWaitFor([&] { return settings.style() == LyricStyle::fisheye; }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !settings.keepScreenAwake(); }, 1000));
    EXPECT_TRUE(screenAwakeAsked);
    EXPECT_EQ(settings.textColor(), (Color{0, 1, 0, 1}));
    EXPECT_EQ(settings.textScale(), 1.0);  // untouched key keeps its value

    // A second edit after our own write is seen too: the watch follows the replaced file.
    settings.setLyricFont(LyricFont::futura);
    edited = readJsonObject(path());
    edited.insert(QStringLiteral("lyricStyle"), QStringLiteral("Visual"));
    writeFile(path(), QJsonDocument(edited).toJson());
    EXPECT_TRUE(QTest::qWaitFor([&] { return settings.style() == LyricStyle::visual; }, 10000));
    EXPECT_EQ(settings.lyricFont(), LyricFont::futura);
}

TEST_F(Store, KillDuringWritesLeavesTheOldOrTheNewFileNeverATornOne)
{
    for (int round = 0; round < 12; ++round) {
        QFile::remove(path());
        QProcess writer;
        writer.start(QStringLiteral(ZUVIK_DEFAULTS_WRITER), {path()});
        ASSERT_TRUE(writer.waitForStarted());
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(path()); }, 10000));  // writing now
        QTest::qWait(int(QRandomGenerator::global()->bounded(40)));
        writer.kill();
        writer.waitForFinished();

        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << "round " << round;
        EXPECT_TRUE(document.object().value(QLatin1String("textScale")).isDouble());
    }
}

}  // namespace
