// Zuvik as a user installs it: `cmake --install` into a staging tree, run from there with the build
// and source trees hidden; the Debian package built from the same rules, read, and installed and
// removed with apt when the tests run as root.
#include "EventLoopWait.h"
#include "LoopbackHttpServer.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

struct Finished {
    int status = -1;  // -1: it crashed or did not finish
    QString out;
    QString err;
};

Finished run(const QString& program, const QStringList& arguments,
             QProcessEnvironment environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    environment.insert(QStringLiteral("DEBIAN_FRONTEND"), QStringLiteral("noninteractive"));
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!waitFor([&] { return process.state() == QProcess::NotRunning; }, 600s))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

QByteArray lyricsData(const char* name)
{
    QFile file(QStringLiteral(ZUVIK_LYRICS_TEST_DATA "/") + QString::fromUtf8(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

// What a package or an install under /usr puts on the machine, as paths below the prefix.
const QStringList installedFiles{
    "bin/zuvik", "share/zuvik/word-embedding.bin", "share/applications/org.orvane.Zuvik.desktop",
    "share/icons/hicolor/scalable/apps/org.orvane.Zuvik.svg", "share/metainfo/org.orvane.Zuvik.metainfo.xml"};

TEST(InstalledTree, HoldsWhatItReadsRunsWithoutTheBuildTreeAndPassesTheValidators)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "hiding the build tree takes a mount namespace, which needs root";
    QTemporaryDir stage;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DESTDIR"), stage.path());
    const Finished install = run(ZUVIK_CMAKE, {"--install", ZUVIK_BUILD_TREE, "--prefix", "/usr"}, environment);
    ASSERT_EQ(install.status, 0) << install.err.toStdString();
    const auto staged = [&](const QString& path) { return stage.filePath(QStringLiteral("usr/") + path); };
    for (const QString& file : installedFiles)
        EXPECT_TRUE(QFile::exists(staged(file))) << file.toStdString();

    // From a plain terminal, with its own home, in a mount namespace where the build and source
    // trees are empty folders.
    LoopbackHttpServer server;
    QTemporaryDir home;
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS", "DESTDIR"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("ZUVIK_LYRICS_BASE_URL"), server.baseUrl().toString());
    for (const char* kind : {"CACHE", "STATE", "DATA", "CONFIG"})
        environment.insert(QStringLiteral("XDG_%1_HOME").arg(kind), home.filePath(QString::fromLatin1(kind)));
    const auto zuvik = [&](const QStringList& arguments) {
        const QString hideTrees =
            "mount -t tmpfs tmpfs \"$1\" && mount -t tmpfs tmpfs \"$2\" && shift 2 && exec \"$@\"";
        return run("unshare",
                   QStringList{"--mount", "sh", "-c", hideTrees, "sh", ZUVIK_BUILD_TREE, ZUVIK_SOURCE_TREE,
                               staged("bin/zuvik")}
                       + arguments,
                   environment);
    };
    EXPECT_EQ(zuvik({"--version"}).out, QStringLiteral("zuvik " ZUVIK_VERSION "\n"));
    server.setReply(QStringLiteral("/api/search/get"),
                    LoopbackHttpServer::Reply::json(lyricsData("search_lanterns.json")));
    server.setReply(QStringLiteral("/api/song/lyric/v1"),
                    LoopbackHttpServer::Reply::json(lyricsData("lyric_word_level.json")));
    const Finished lyrics = zuvik({"lyrics", "--artist", "Mara Lind & Jonas Vey", "--title", "Lanterns"});
    EXPECT_TRUE(lyrics.out.startsWith("[00:12.00] Lan terns on the water\n")) << lyrics.err.toStdString();
    // The pictures of the Visual look need the word embedding from the data folder.
    const QString picture = home.filePath(QStringLiteral("frame.png"));
    const Finished still = zuvik({"--render-frame", picture, "--at", "7.3", "--style", "visual"});
    EXPECT_TRUE(still.status == 0 && still.err.contains("embedding ready")) << still.err.toStdString();
    EXPECT_GT(QFileInfo(picture).size(), 0);

    const Finished entry = run("desktop-file-validate", {staged("share/applications/org.orvane.Zuvik.desktop")});
    EXPECT_EQ(entry.status, 0) << entry.out.toStdString() << entry.err.toStdString();
    const Finished metainfo = run(
        "appstreamcli", {"validate", "--no-net", "--explain", staged("share/metainfo/org.orvane.Zuvik.metainfo.xml")});
    EXPECT_TRUE(metainfo.status == 0 && metainfo.out.contains("successful")) << metainfo.out.toStdString();
}

// One build of the package per test: cpack strips and archives the whole program.
class DebianPackage : public ::testing::Test {
protected:
    void SetUp() override
    {
        made = run(ZUVIK_CPACK, {"--config", ZUVIK_BUILD_TREE "/CPackConfig.cmake", "-G", "DEB", "-B", folder.path()});
        const QStringList debs = QDir(folder.path()).entryList({QStringLiteral("zuvik_*.deb")});
        ASSERT_EQ(debs.size(), 1) << made.out.toStdString() << made.err.toStdString();
        deb = folder.filePath(debs.first());
    }
    QString field(const QString& name) const { return run("dpkg-deb", {"-f", deb, name}).out.trimmed(); }

    QTemporaryDir folder;
    Finished made;
    QString deb;
};

TEST_F(DebianPackage, IsNamedAsDebianExpectsAndHoldsTheProgramItsDataAndItsRuntimeDependencies)
{
    const QString architecture = run("dpkg", {"--print-architecture"}).out.trimmed();
    EXPECT_EQ(QFileInfo(deb).fileName(), QStringLiteral("zuvik_" ZUVIK_VERSION "_%1.deb").arg(architecture));
    EXPECT_EQ(field("Package") + u' ' + field("Version"), "zuvik " ZUVIK_VERSION);
    QStringList files;
    for (const QString& line : run("dpkg-deb", {"-c", deb}).out.split(u'\n', Qt::SkipEmptyParts)) {
        if (!line.endsWith(u'/'))
            files.append(line.section(u' ', -1).mid(QStringLiteral("./usr/").size()));
    }
    files.sort();
    QStringList expected = installedFiles;
    expected.sort();
    EXPECT_EQ(files, expected);

    // What it runs with, and nothing that only builds or tests it.
    const QStringList depends = field("Depends").split(QStringLiteral(", "));
    for (const char* runtime :
         {"libqt6quick6", "libqt6widgets6", "libqt6dbus6", "libqt6svg6", "qml6-module-qtquick",
          "qml6-module-qtquick-window", "qt6-wayland", "libgl1-mesa-dri", "fonts-noto-color-emoji"})
        EXPECT_TRUE(depends.indexOf(QRegularExpression(QStringLiteral("^%1( .*)?$").arg(runtime))) >= 0) << runtime;
    for (const QString& dependency : depends)
        EXPECT_FALSE(dependency.contains(QRegularExpression("-dev\\b|gtest|benchmark|xvfb|mpv")))
            << dependency.toStdString();
}

TEST_F(DebianPackage, AptInstallsAndRemovesIt)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "apt installs only as root";
    if (run("dpkg-query", {"-W", "zuvik"}).status == 0)
        GTEST_SKIP() << "a zuvik package is already installed on this machine; it is left alone";
    // Everything it depends on is on a machine that builds it: apt installs it alone, downloading nothing.
    const QStringList wouldInstall = run("apt-get", {"install", "-s", "--no-install-recommends", deb})
                                         .out.split(u'\n')
                                         .filter(QRegularExpression("^Inst "));
    ASSERT_EQ(wouldInstall.size(), 1) << wouldInstall.join(u'\n').toStdString();
    const Finished install = run("apt-get",
                                 {"install", "-y", "-o", "DPkg::Lock::Timeout=120", "--no-install-recommends", deb});
    ASSERT_EQ(install.status, 0) << install.out.toStdString() << install.err.toStdString();
    const QStringList owned = run("dpkg-query", {"-L", "zuvik"}).out.split(u'\n', Qt::SkipEmptyParts);
    const Finished version = run("/usr/bin/zuvik", {"--version"});
    const Finished remove = run("apt-get", {"remove", "-y", "-o", "DPkg::Lock::Timeout=120", "zuvik"});
    EXPECT_EQ(version.out, QStringLiteral("zuvik " ZUVIK_VERSION "\n")) << version.err.toStdString();
    ASSERT_EQ(remove.status, 0) << remove.out.toStdString() << remove.err.toStdString();
    EXPECT_TRUE(owned.contains(QStringLiteral("/usr/share/applications/org.orvane.Zuvik.desktop")));
    for (const QString& path : owned)
        EXPECT_TRUE(QFileInfo(path).isDir() || !QFileInfo::exists(path)) << path.toStdString() << " is left behind";
}

}  // namespace
