// `zuvik set` / `zuvik get` from a terminal over the defaults file of the test's home.
#include "foundation/UserFolders.h"
#include "ScratchMount.h"
#include "TerminalRun.h"
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace terminal_run;

namespace {

QJsonObject defaultsFile(const QString& path = UserFolders::settingsFile())
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
}

TEST(SettingsCommand, GetListsEveryKeyAndSetWritesOnlyWhatChanged)
{
    QFile::remove(UserFolders::settingsFile());
    const Outcome get = runZuvik({"get"});
    EXPECT_TRUE(get.status == 0 && get.out.count(u'\n') == 14 && get.out.startsWith("lyricStyle\tShip\n")
                && get.out.contains("\nlyricSources\tncm,lrclib\n"))
        << get.out.toStdString();
    const Outcome set = runZuvik({"set", "preferredPlayers", "vlc"});
    EXPECT_TRUE(set.status == 0 && set.out.isEmpty());
    EXPECT_EQ(defaultsFile(), (QJsonObject{{"preferredPlayers", QJsonArray{"vlc"}}}));
    EXPECT_EQ(runZuvik({"get", "preferredPlayers"}).out, QStringLiteral("vlc\n"));
}

// Kept by the desktop, not the defaults file: the autostart entry names this program, is read
// back, and goes away; a bad value changes nothing.
TEST(SettingsCommand, StartAtLoginWritesReadsAndRemovesTheAutostartEntry)
{
    const QString entry = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/autostart/zuvik.desktop");
    EXPECT_EQ(runZuvik({"get", "startAtLogin"}).out, "false\n");
    const Outcome on = runZuvik({"set", "startAtLogin", "on"});
    EXPECT_EQ(on.status, 0) << on.err.toStdString();
    EXPECT_TRUE(on.err.contains("start at login → true")) << on.err.toStdString();
    QFile file(entry);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("\nExec=" ZUVIK_EXECUTABLE "\n"));
    EXPECT_TRUE(runZuvik({"get"}).out.endsWith("\nstartAtLogin\ttrue\n"));

    const Outcome bad = runZuvik({"set", "startAtLogin", "maybe"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.err, "zuvik: startAtLogin wants true or false, not \"maybe\"\n");
    EXPECT_EQ(runZuvik({"set", "startAtLogin", "false"}).status, 0);
    EXPECT_FALSE(QFile::exists(entry));
    EXPECT_EQ(runZuvik({"get", "startAtLogin"}).out, "false\n");
}

TEST(SettingsCommand, WrongArgumentsAreRefusedBeforeAnythingIsWritten)
{
    struct Row {
        const char* arguments;
        const char* says;  // the start of standard error
    };
    for (const Row& row :
         {Row{"set lyricStyle", "zuvik: set takes a key and a value\nUsage: zuvik set KEY VALUE\n"},
          Row{"set lyricStyle Ship x", "zuvik: set takes a key and a value\n"},
          Row{"get lyricStyle textScale", "zuvik: get takes at most one key\n"},
          Row{"get nothing", "zuvik: unknown setting \"nothing\"; the keys are lyricStyle, color.text, "},
          Row{"set textScale 4.01", "zuvik: textScale wants a number from 0.25 to 4, not \"4.01\"\n"}}) {
        const QJsonObject before = defaultsFile();
        const Outcome run = runZuvik(QString::fromUtf8(row.arguments).split(u' '));
        EXPECT_EQ(run.status, 2) << row.arguments;
        EXPECT_TRUE(run.err.startsWith(QString::fromUtf8(row.says))) << run.err.toStdString();
        EXPECT_EQ(defaultsFile(), before);
    }
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
    if (!disk.isMounted())
        GTEST_SKIP() << "a full or read-only folder needs a tmpfs, and mounting one needs root";
    const QString folder = disk.path() + QStringLiteral("/Orvane"), path = folder + QStringLiteral("/defaults.json");
    const QJsonObject old{{"textScale", 1.5}};
    ASSERT_TRUE(QDir().mkpath(trouble == Trouble::folderAtPath ? path : folder));
    QFile file(path);
    if (trouble == Trouble::fifoAtPath) {
        ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    } else if (trouble != Trouble::folderAtPath) {
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(old).toJson()) > 0);
    }
    file.close();
    ASSERT_TRUE(trouble != Trouble::fullDisk || disk.fill());
    ASSERT_TRUE(trouble != Trouble::readOnlyFolder || disk.makeReadOnly());
    std::function<void()> asNobody;  // root reads any file: the command runs as a user who cannot
    if (trouble == Trouble::unreadable) {
        for (const auto& [name, mode] : {std::pair(path, 0200), std::pair(folder, 0777), std::pair(disk.path(), 0777)})
            ::chmod(QFile::encodeName(name).constData(), mode);
        asNobody = [] { (void)!(::setgid(65534) == 0 && ::setuid(65534) == 0); };
    }
    QProcessEnvironment environment = withoutDisplay();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), disk.path());
    const Outcome run = runZuvik(QString::fromUtf8(GetParam().command).split(u' '), environment, asNobody);
    EXPECT_EQ(run.status, 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.endsWith(QString::fromUtf8(GetParam().message).arg(path) + u'\n')) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains(QStringLiteral(" → "))) << "a change that was not stored is not logged as made";
    EXPECT_TRUE(QDir(folder).entryList(QDir::Hidden | QDir::Files).filter(".tmp").isEmpty()) << "a temporary file left";
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
