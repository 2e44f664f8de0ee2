// The built executable from a terminal: `zuvik --menu` with and without a running copy on a
// private session bus, and `zuvik set` / `zuvik get` over the defaults file of the test's home.
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
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace std::chrono_literals;
using namespace terminal_run;

namespace {

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

TEST_F(MenuCommand, OpensTheRunningCopysMenuOrSaysThereIsNone)
{
    const Outcome alone = runZuvik({"--menu"});
    EXPECT_EQ(alone.status, 1);
    EXPECT_TRUE(alone.err.contains(QStringLiteral("Zuvik is not running"))) << alone.err.toStdString();

    // It is ready once its status item is up (offscreen: no tray, so it says how to reach the menu).
    const RunningCopy running(QStringLiteral("status menu: no system tray — run 'zuvik --menu' to open the menu"));
    ASSERT_TRUE(running.ready);
    LogLines log;
    const Outcome run = runZuvik({"--menu"});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(
        waitFor([&] { return log.newMessages().contains(QStringLiteral("status menu: opened for zuvik --menu")); }));
    EXPECT_EQ(running.process.state(), QProcess::Running);  // the running copy carries on
}

// A running copy following a change is LookChangeTest's; the values themselves, SettingsTableTest's.
TEST(SettingsCommand, GetListsEveryKeyAndSetWritesOnlyWhatChanged)
{
    QFile::remove(JsonFileDefaultsStore::defaultFilePath());
    const Outcome get = runZuvik({"get"});
    EXPECT_EQ(get.status, 0);
    const QStringList keys = get.out.split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(keys.size(), 12);
    EXPECT_EQ(keys.value(0), QStringLiteral("lyricStyle\tShip"));
    const Outcome set = runZuvik({"set", "preferredPlayers", "vlc"});
    EXPECT_EQ(set.status, 0);
    EXPECT_TRUE(set.out.isEmpty());
    // The default ignore list is not written.
    EXPECT_EQ(defaultsFile(), (QJsonObject{{"preferredPlayers", QJsonArray{"vlc"}}}));
    EXPECT_EQ(runZuvik({"get", "preferredPlayers"}).out, QStringLiteral("vlc\n"));
}

TEST(SettingsCommand, WrongArgumentsAreRefusedBeforeAnythingIsWritten)
{
    struct Row {
        const char* arguments;
        const char* says;  // the start of standard error
    };
    for (const Row& row :
         {Row{"set", "zuvik: set takes a key and a value\nUsage: zuvik set KEY VALUE\n"},
          Row{"set lyricStyle", "zuvik: set takes a key and a value\n"},
          Row{"set lyricStyle Ship x", "zuvik: set takes a key and a value\n"},
          Row{"get lyricStyle textScale", "zuvik: get takes at most one key\n"},
          Row{"get nothing", "zuvik: unknown setting \"nothing\"; the keys are lyricStyle, color.text, "},
          Row{"set lyricstyle Ship", "zuvik: unknown setting \"lyricstyle\""},
          Row{"set textScale 4.01", "zuvik: textScale wants a number from 0.25 to 4, not \"4.01\"\n"}}) {
        const QJsonObject before = defaultsFile();
        const Outcome run = runZuvik(QString::fromUtf8(row.arguments).split(u' '));
        EXPECT_EQ(run.status, 2) << row.arguments;
        EXPECT_TRUE(run.err.startsWith(QString::fromUtf8(row.says))) << run.err.toStdString();
        EXPECT_EQ(defaultsFile(), before);
    }
    const Outcome help = runZuvik({"set", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(
        help.out.contains(QStringLiteral("  disabledDisplays\n      the displays that show no overlay; display IDs "
                                         "separated by commas, or none\n")));
}

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
    QProcessEnvironment environment = withoutDisplay();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    const Outcome run = runZuvik(QString::fromUtf8(GetParam().command).split(u' '), environment, asNobody);
    EXPECT_EQ(run.status, 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.endsWith(QString::fromUtf8(GetParam().message).arg(path) + u'\n')) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains(QStringLiteral(" → "))) << "a change that was not stored is not logged as made";
    EXPECT_EQ(
        QDir(config + QStringLiteral("/Orvane")).entryList(QDir::Hidden | QDir::Files).filter(QStringLiteral(".tmp")),
        QStringList())
        << "a failed write leaves no temporary file behind";
    ::chmod(QFile::encodeName(path).constData(), 0600);
    if (trouble == Trouble::folderAtPath || trouble == Trouble::fifoAtPath)
        EXPECT_FALSE(QFileInfo(path).isFile());
    else
        EXPECT_EQ(defaultsFile(path), old);
}

INSTANTIATE_TEST_SUITE_P(
    Terminal, DefaultsInTrouble,
    ::testing::Values(
        TroubleCase{Trouble::fullDisk, "set textScale 2", "zuvik set: cannot write %1: No space left on device"},
        TroubleCase{Trouble::readOnlyFolder, "set lyricFont Didot",
                    "zuvik set: cannot write %1: Read-only file system"},
        TroubleCase{Trouble::folderAtPath, "set lyricFont Didot", "zuvik set: cannot read %1: not a regular file"},
        TroubleCase{Trouble::fifoAtPath, "get", "zuvik get: cannot read %1: not a regular file"},
        TroubleCase{Trouble::unreadable, "set lyricFont Didot", "zuvik set: cannot read %1: Permission denied"}));

}  // namespace
