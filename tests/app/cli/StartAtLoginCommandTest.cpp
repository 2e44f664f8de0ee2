// `zuvik set/get startAtLogin` as the built executable: the autostart entry is written where the
// XDG rules look, names this program, is read back, and goes away; a bad value changes nothing.
#include "../TerminalRun.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using namespace terminal_run;

TEST(StartAtLoginCommand, WritesReadsAndRemovesTheAutostartEntry)
{
    QTemporaryDir home;
    QProcessEnvironment environment = withoutDisplay();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_STATE_HOME"), home.filePath(QStringLiteral("state")));
    const auto zuvik = [&](const QStringList& arguments) { return runZuvik(arguments, environment); };
    const QString entry = home.filePath(QStringLiteral("config/autostart/zuvik.desktop"));

    EXPECT_EQ(zuvik({"get", "startAtLogin"}).out, "false\n");
    const Outcome on = zuvik({"set", "startAtLogin", "on"});
    EXPECT_EQ(on.status, 0) << on.err.toStdString();
    EXPECT_TRUE(on.err.contains("start at login → true")) << on.err.toStdString();
    QFile file(entry);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("\nExec=" ZUVIK_EXECUTABLE "\n"));
    EXPECT_TRUE(zuvik({"get"}).out.endsWith("\nstartAtLogin\ttrue\n"));

    const Outcome bad = zuvik({"set", "startAtLogin", "maybe"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.err, "zuvik: startAtLogin wants true or false, not \"maybe\"\n");
    EXPECT_TRUE(QFile::exists(entry));

    EXPECT_EQ(zuvik({"set", "startAtLogin", "false"}).status, 0);
    EXPECT_FALSE(QFile::exists(entry));
    EXPECT_EQ(zuvik({"get", "startAtLogin"}).out, "false\n");
}

}  // namespace
