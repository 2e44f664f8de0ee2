// The autostart entry: the program's path as the desktop entry rules want it written, what a
// session reads as switched off, and the file turned on and off, with a folder that refuses it.
#include "ScratchMount.h"
#include "platform/freedesktop/XdgAutostart.h"
#include <gtest/gtest.h>

namespace {

using namespace xdg_autostart;

// A backslash in a quoted argument is four in the file: once for the quoting, once for the string.
TEST(AutostartEntry, WritesThePathAsTheRulesWantOrSaysWhyItCannot)
{
    const struct {
        const char* executable;
        const char* tryExec;  // or the problem, when exec is null
        const char* exec;
    } cases[] = {
        {"/usr/bin/zuvik", "/usr/bin/zuvik", "/usr/bin/zuvik"},
        {"/opt/My Apps/zuvik", "/opt/My Apps/zuvik", "\"/opt/My Apps/zuvik\""},
        {"/home/a$b/100%/zu\"vik", "/home/a$b/100%/zu\"vik", "\"/home/a\\\\$b/100%%/zu\\\\\"vik\""},
        {"/srv/back\\slash/zuvik", "/srv/back\\\\slash/zuvik", "\"/srv/back\\\\\\\\slash/zuvik\""},
        {"/srv/50%/zuvik", "/srv/50%/zuvik", "/srv/50%%/zuvik"},
        {"zuvik", "the program's path \"zuvik\" is not absolute", nullptr},
        {"", "the program's path \"\" is not absolute", nullptr},
        {"/tmp/a\nb/zuvik", "the program's path holds a control character", nullptr},
    };
    for (const auto& c : cases) {
        const auto text = entryText(QString::fromUtf8(c.executable));
        if (!c.exec) {
            EXPECT_EQ(std::get<QString>(text), QString::fromUtf8(c.tryExec));
            continue;
        }
        const QStringList lines = QString::fromUtf8(std::get<QByteArray>(text)).split(u'\n');
        EXPECT_EQ(lines.first(), "[Desktop Entry]");
        EXPECT_TRUE(lines.contains(QStringLiteral("TryExec=") + QString::fromUtf8(c.tryExec))) << c.executable;
        EXPECT_TRUE(lines.contains(QStringLiteral("Exec=") + QString::fromUtf8(c.exec))) << c.executable;
        EXPECT_TRUE(startsAtLogin(std::get<QByteArray>(text)));
    }
}

TEST(AutostartEntry, IsOffWhenHiddenOrSwitchedOffInItsMainGroupOnly)
{
    const struct {
        const char* text;
        bool starts;
    } cases[] = {
        {"[Desktop Entry]\nExec=zuvik\n", true},
        {"[Desktop Entry]\n  Hidden = true  \n", false},
        {"[Desktop Entry]\nHidden=false\nX-GNOME-Autostart-enabled=true\n", true},
        {"[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n", false},
        {"[Desktop Entry]\nExec=zuvik\n[Desktop Action Quit]\nHidden=true\n", true},
        {"# Hidden=true\n[Desktop Entry]\nName=Hidden=true\n", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(startsAtLogin(c.text), c.starts) << c.text;
}

TEST(XdgAutostartFile, TurnsOnAndOffAndReadsWhatWasDoneByHand)
{
    QTemporaryDir home;
    const QString file = home.filePath(QStringLiteral("config/autostart/zuvik.desktop"));
    XdgAutostart autostart(file, QStringLiteral("/usr/bin/zuvik"));
    EXPECT_FALSE(autostart.isOn());
    EXPECT_EQ(autostart.turn(false), std::nullopt);  // nothing there to remove
    EXPECT_EQ(autostart.turn(true), std::nullopt);  // the folder is made
    EXPECT_TRUE(autostart.isOn());
    EXPECT_TRUE(QFile::remove(file));
    EXPECT_FALSE(autostart.isOn());

    QFile hidden(file);
    ASSERT_TRUE(hidden.open(QIODevice::WriteOnly));
    hidden.write("[Desktop Entry]\nExec=/usr/bin/zuvik\nHidden=true\n");
    hidden.close();
    EXPECT_FALSE(autostart.isOn());
    EXPECT_EQ(autostart.turn(true), std::nullopt);  // written afresh, not left hidden
    EXPECT_TRUE(autostart.isOn());
    EXPECT_EQ(autostart.turn(false), std::nullopt);
    EXPECT_FALSE(QFile::exists(file));
    ASSERT_TRUE(QFile::link(home.filePath(QStringLiteral("gone")), file));  // a dangling link goes too
    EXPECT_EQ(autostart.turn(false), std::nullopt);
    EXPECT_FALSE(QFileInfo(file).isSymLink());
}

TEST(XdgAutostartFile, SaysWhyWhenItsFolderRefuses)
{
    ScratchMount mount;
    if (!mount.isMounted())
        GTEST_SKIP() << "needs root to mount a read-only tmpfs";
    const QString file = mount.path() + QStringLiteral("/autostart/zuvik.desktop");
    XdgAutostart autostart(file, QStringLiteral("/usr/bin/zuvik"));
    ASSERT_EQ(autostart.turn(true), std::nullopt);
    ASSERT_TRUE(mount.makeReadOnly());
    EXPECT_TRUE(autostart.turn(false).value_or(QString()).contains(file));
    EXPECT_TRUE(autostart.isOn());  // still there, and said so
    XdgAutostart elsewhere(mount.path() + QStringLiteral("/other/zuvik.desktop"), QStringLiteral("/usr/bin/zuvik"));
    EXPECT_TRUE(elsewhere.turn(true).has_value());
    EXPECT_FALSE(elsewhere.isOn());
}

}  // namespace
