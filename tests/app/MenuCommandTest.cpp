// The built executable from a terminal: `zuvik --menu` with and without a running copy on a
// private session bus, and `zuvik set` / `zuvik get` over the defaults file of the test's home.
#include "settings/AppSettings.h"
#include "settings/JsonFileDefaultsStore.h"

#include "EventLoopWait.h"
#include "LogLines.h"
#include "PrivateBus.h"
#include "ScratchMount.h"
#include "TerminalRun.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace std::chrono_literals;

namespace {

const QString zuvik = QStringLiteral(ZUVIK_EXECUTABLE);

using namespace terminal_run;

QJsonObject defaultsFile(const QString& path = JsonFileDefaultsStore::defaultFilePath())
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
}

class MenuCommand : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(bus.isRunning()); }
    PrivateBus bus{PrivateBus::session};
};

TEST_F(MenuCommand, WithoutARunningCopyItSaysSoAndFails)
{
    const Outcome run = runZuvik({QStringLiteral("--menu")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Zuvik is not running"))) << run.err.toStdString();
}

TEST_F(MenuCommand, TheRunningCopyOpensItsMenuAndTheSecondExitsAtOnce)
{
    LogLines log;
    QProcess running;
    running.setProcessEnvironment(privateBuses());
    running.start(zuvik, {QStringLiteral("--demo")});
    ASSERT_TRUE(running.waitForStarted());
    // It is ready once its status item is up (offscreen: no tray, so it says how to reach the menu).
    const QString noTray = QStringLiteral("status menu: no system tray — run 'zuvik --menu' to open the menu");
    ASSERT_TRUE(waitFor([&] { return log.newMessages().contains(noTray); }, 30s))
        << running.readAllStandardError().toStdString();

    const Outcome run = runZuvik({QStringLiteral("--menu")});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(waitFor([&] { return log.newMessages().contains(QStringLiteral("status menu: opened for zuvik --menu")); }));
    EXPECT_EQ(running.state(), QProcess::Running);  // the running copy carries on
    running.terminate();
    running.waitForFinished(10000);
}

struct SetCase {
    const char* key;
    const char* value;
    int status;
    QJsonValue stored;    // under the key afterwards (undefined: checked elsewhere)
    const char* printed;  // by `zuvik get KEY` afterwards, for a good value
};

class SetCommand : public ::testing::TestWithParam<SetCase> {};

TEST_P(SetCommand, StoresAGoodValueAndRefusesABadOne)
{
    const SetCase& c = GetParam();
    const QString key = QString::fromUtf8(c.key);
    const QJsonValue before = defaultsFile().value(key);
    const Outcome run = runZuvik({QStringLiteral("set"), key, QString::fromUtf8(c.value)});
    EXPECT_EQ(run.status, c.status) << run.err.toStdString();
    if (c.status != 0) {
        EXPECT_EQ(defaultsFile().value(key), before);
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("zuvik: "))) << run.err.toStdString();
        return;
    }
    if (!c.stored.isUndefined()) {
        EXPECT_EQ(defaultsFile().value(key), c.stored);
    }
    const Outcome get = runZuvik({QStringLiteral("get"), key});
    EXPECT_EQ(get.status, 0);
    EXPECT_EQ(get.out, QString::fromUtf8(c.printed) + u'\n');
}

INSTANTIATE_TEST_SUITE_P(Terminal, SetCommand, ::testing::Values(
    SetCase{"lyricStyle", "Fisheye Visual", 0, QStringLiteral("Fisheye Visual"), "Fisheye Visual"},
    SetCase{"lyricStyle", "fisheye-visual", 0, QStringLiteral("Fisheye Visual"), "Fisheye Visual"},
    SetCase{"lyricStyle", "wobbly", 2, {}, ""},
    SetCase{"lyricStyle", "", 2, {}, ""},
    SetCase{"lyricFont", "avenir next", 0, QStringLiteral("Avenir Next"), "Avenir Next"},
    SetCase{"lyricFont", "Comic Sans", 2, {}, ""},
    SetCase{"keepScreenAwake", "false", 0, false, "false"},
    SetCase{"keepScreenAwake", "on", 0, true, "true"},
    SetCase{"keepScreenAwake", "maybe", 2, {}, ""},
    SetCase{"showWhenUnlocked", "0", 0, false, "false"},
    SetCase{"autoSyncColors", "yes", 0, true, "true"},
    SetCase{"textScale", "1.25", 0, 1.25, "1.25"},
    SetCase{"textScale", "0.25", 0, 0.25, "0.25"},
    SetCase{"textScale", "4", 0, 4.0, "4"},
    SetCase{"textScale", "0.24", 2, {}, ""},
    SetCase{"textScale", "4.01", 2, {}, ""},
    SetCase{"textScale", "nan", 2, {}, ""},
    SetCase{"textScale", "1,5", 2, {}, ""},
    SetCase{"color.highlight", "#ff000080", 0, QStringLiteral("#FF000080"), "#FF000080"},
    SetCase{"color.text", "#00FF00", 0, QStringLiteral("#00FF00FF"), "#00FF00FF"},
    SetCase{"color.text", "#00FF0", 2, {}, ""},
    SetCase{"color.secondary", "#GG000000", 2, {}, ""},
    SetCase{"color.secondary", "#+1000000", 2, {}, ""},
    SetCase{"disabledDisplays", "7, 3", 0, QJsonValue(QJsonValue::Undefined), "3,7"},
    SetCase{"disabledDisplays", "none", 0, QJsonArray(), "none"},
    SetCase{"disabledDisplays", "4294967296", 2, {}, ""},
    SetCase{"disabledDisplays", "3,x", 2, {}, ""},
    SetCase{"preferredPlayers", "vlc, org.mpris.MediaPlayer2.mpv,VLC", 0, QJsonArray{"vlc", "mpv"}, "vlc,mpv"},
    // Stored only when it changes something, so what is stored depends on the case before.
    SetCase{"preferredPlayers", "none", 0, QJsonValue(QJsonValue::Undefined), "none"},
    SetCase{"ignoredPlayers", "firefox,plasma-browser-integration", 0,
            QJsonArray{"firefox", "plasma-browser-integration"}, "firefox,plasma-browser-integration"},
    SetCase{"ignoredPlayers", "fire fox;", 2, {}, ""},
    SetCase{"preferredPlayers", "vlc,*", 2, {}, ""},
    SetCase{"lyricstyle", "Ship", 2, {}, ""}));  // keys are case-sensitive

enum class Trouble { fullDisk, readOnlyFolder, folderAtPath, fifoAtPath, unreadable };
struct TroubleCase {
    Trouble trouble;
    const char* command;
    const char* message;  // %1: the defaults file
};

class DefaultsInTrouble : public ::testing::TestWithParam<TroubleCase> {};

TEST_P(DefaultsInTrouble, TheCommandSaysWhyFailsAndLeavesTheFileWhole)
{
    const Trouble trouble = GetParam().trouble;
    ScratchMount disk;
    QTemporaryDir plain;
    if ((trouble == Trouble::fullDisk || trouble == Trouble::readOnlyFolder) && !disk.isMounted())
        GTEST_SKIP() << "a full or read-only folder needs a tmpfs, and mounting one needs root";
    const QString config = disk.isMounted() ? disk.path() : plain.path();
    const QString path = config + QStringLiteral("/Orvane/defaults.json");
    const QJsonObject old{{"textScale", 1.5}};
    ASSERT_TRUE(QDir().mkpath(trouble == Trouble::folderAtPath ? path : config + QStringLiteral("/Orvane")));
    if (trouble == Trouble::fifoAtPath) {
        ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    } else if (trouble != Trouble::folderAtPath) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(old).toJson()) > 0);
    }
    ASSERT_TRUE(trouble != Trouble::fullDisk || disk.fill());
    ASSERT_TRUE(trouble != Trouble::readOnlyFolder || disk.makeReadOnly());
    std::function<void()> asNobody;  // root reads any file: then the command runs as a user who cannot
    if (trouble == Trouble::unreadable) {
        ::chmod(QFile::encodeName(path).constData(), 0200);
        if (::geteuid() == 0) {
            for (const QString& folder : {config, config + QStringLiteral("/Orvane")})
                ::chmod(QFile::encodeName(folder).constData(), 0777);
            asNobody = [] { (void)!(::setgid(65534) == 0 && ::setuid(65534) == 0); };
        }
    }

    QProcessEnvironment environment = privateBuses();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    const Outcome run = runZuvik(QString::fromUtf8(GetParam().command).split(u' '), environment, asNobody);
    EXPECT_EQ(run.status, 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.endsWith(QString::fromUtf8(GetParam().message).arg(path) + u'\n')) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains(QStringLiteral(" → "))) << "a change that was not stored is not logged as made";
    EXPECT_EQ(QDir(config + QStringLiteral("/Orvane")).entryList(QDir::Hidden | QDir::Files).filter(QStringLiteral(".tmp")),
              QStringList()) << "a failed write leaves no temporary file behind";
    ::chmod(QFile::encodeName(path).constData(), 0600);
    if (trouble == Trouble::folderAtPath || trouble == Trouble::fifoAtPath)
        EXPECT_FALSE(QFileInfo(path).isFile());
    else
        EXPECT_EQ(defaultsFile(path), old);
}

INSTANTIATE_TEST_SUITE_P(Terminal, DefaultsInTrouble, ::testing::Values(
    TroubleCase{Trouble::fullDisk, "set textScale 2", "zuvik set: cannot write %1: No space left on device"},
    TroubleCase{Trouble::readOnlyFolder, "set lyricFont Didot", "zuvik set: cannot write %1: Read-only file system"},
    TroubleCase{Trouble::folderAtPath, "set lyricFont Didot", "zuvik set: cannot read %1: not a regular file"},
    TroubleCase{Trouble::fifoAtPath, "get", "zuvik get: cannot read %1: not a regular file"},
    TroubleCase{Trouble::unreadable, "set lyricFont Didot", "zuvik set: cannot read %1: Permission denied"}));

TEST(SetCommandPlayers, TheDefaultIgnoreListIsShownButNotStored)
{
    QFile::remove(JsonFileDefaultsStore::defaultFilePath());
    const Outcome get = runZuvik({QStringLiteral("get"), QStringLiteral("ignoredPlayers")});
    EXPECT_EQ(get.out, QStringLiteral("firefox,chromium,chrome,brave,vivaldi,opera,edge,plasma-browser-integration,"
                                      "kdeconnect,playerctld\n"));
    ASSERT_EQ(runZuvik({QStringLiteral("set"), QStringLiteral("preferredPlayers"), QStringLiteral("vlc")}).status, 0);
    EXPECT_FALSE(defaultsFile().contains(QStringLiteral("ignoredPlayers")));
}

TEST(SetCommandDisplays, StoresEachIdAsDecimalText)
{
    ASSERT_EQ(runZuvik({QStringLiteral("set"), QStringLiteral("disabledDisplays"), QStringLiteral("7,3")}).status, 0);
    QStringList stored;
    for (const QJsonValue& id : defaultsFile().value(QStringLiteral("disabledDisplays")).toArray())
        stored.append(id.toString());
    stored.sort();
    EXPECT_EQ(stored, (QStringList{QStringLiteral("3"), QStringLiteral("7")}));
}

TEST(SetCommandArguments, AreCheckedBeforeAnythingIsWritten)
{
    EXPECT_EQ(runZuvik({QStringLiteral("set")}).status, 2);
    EXPECT_EQ(runZuvik({QStringLiteral("set"), QStringLiteral("lyricStyle")}).status, 2);
    EXPECT_EQ(runZuvik({QStringLiteral("set"), QStringLiteral("lyricStyle"), QStringLiteral("Ship"), QStringLiteral("x")}).status, 2);
    EXPECT_EQ(runZuvik({QStringLiteral("get"), QStringLiteral("nothing")}).status, 2);
    EXPECT_EQ(runZuvik({QStringLiteral("get"), QStringLiteral("lyricStyle"), QStringLiteral("textScale")}).status, 2);
    const Outcome help = runZuvik({QStringLiteral("set"), QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("disabledDisplays")));
}

TEST(GetCommand, ListsEveryKeyWithItsValue)
{
    const Outcome run = runZuvik({QStringLiteral("get")});
    EXPECT_EQ(run.status, 0);
    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
    QStringList keys;
    for (const QString& line : lines)
        keys.append(line.section(u'\t', 0, 0));
    EXPECT_EQ(keys, (QStringList{QStringLiteral("lyricStyle"), QStringLiteral("color.text"), QStringLiteral("color.highlight"),
                                 QStringLiteral("color.secondary"), QStringLiteral("autoSyncColors"),
                                 QStringLiteral("keepScreenAwake"), QStringLiteral("showWhenUnlocked"),
                                 QStringLiteral("lyricFont"), QStringLiteral("textScale"),
                                 QStringLiteral("disabledDisplays"), QStringLiteral("preferredPlayers"),
                                 QStringLiteral("ignoredPlayers")}));
}

TEST(SetCommandWhileRunning, TheRunningSettingsFollowTheChange)
{
    JsonFileDefaultsStore store(JsonFileDefaultsStore::defaultFilePath());
    AppSettings settings(store);
    settings.setStyle(LyricStyle::ship);
    settings.setTextScale(1.0);
    LyricStyle seen = settings.style();
    QObject::connect(&settings, &AppSettings::styleChanged, [&seen](LyricStyle style) { seen = style; });

    ASSERT_EQ(runZuvik({QStringLiteral("set"), QStringLiteral("lyricStyle"), QStringLiteral("Visual")}).status, 0);
    EXPECT_TRUE(waitFor([&] { return settings.style() == LyricStyle::visual; }));
    EXPECT_EQ(seen, LyricStyle::visual);
    ASSERT_EQ(runZuvik({QStringLiteral("set"), QStringLiteral("textScale"), QStringLiteral("0.5")}).status, 0);
    EXPECT_TRUE(waitFor([&] { return settings.textScale() == 0.5; }));
    ASSERT_EQ(runZuvik({QStringLiteral("set"), QStringLiteral("color.text"), QStringLiteral("#102030FF")}).status, 0);
    EXPECT_TRUE(waitFor([&] { return colorHexString(settings.textColor()) == u"#102030FF"; }));
}

}  // namespace
