// The built executable on a private X server, whose OpenGL is Mesa's llvmpipe: every look is
// drawn by the one process that started, the fisheye lens on the software renderer as on OpenGL.
#include "EventLoopWait.h"
#include "LogLines.h"
#include "PrivateBus.h"
#include "TerminalRun.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>

using namespace std::chrono_literals;
using namespace terminal_run;

namespace {

const QString zuvik = QStringLiteral(ZUVIK_EXECUTABLE);
const QString busName = QStringLiteral("org.orvane.Zuvik");

// The processes running the built executable on this test's session bus (other tests may run
// copies of their own at the same time).
QList<qint64> runningCopies()
{
    const QString executable = QFileInfo(zuvik).canonicalFilePath();
    const QByteArray onOurBus = "DBUS_SESSION_BUS_ADDRESS=" + PrivateBus::sessionAddress().toUtf8();
    QList<qint64> copies;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid || QFileInfo(QStringLiteral("/proc/%1/exe").arg(entry)).canonicalFilePath() != executable)
            continue;
        QFile environment(QStringLiteral("/proc/%1/environ").arg(entry));
        if (environment.open(QIODevice::ReadOnly) && environment.readAll().split('\0').contains(onOurBus))
            copies.append(pid);
    }
    return copies;
}

class LookChange : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(bus.isRunning());
        setStyle("Ship");
    }

    void TearDown() override
    {
        // A copy that took the name over goes with the test too.
        if (const uint other = owner(); other != 0 && other != static_cast<uint>(app.processId()))
            ::kill(static_cast<pid_t>(other), SIGTERM);
        app.terminate();
        app.waitForFinished(10000);
        QDBusConnection::disconnectFromBus(connection.name());
    }

    uint owner() const
    {
        QDBusConnectionInterface* names = connection.interface();
        return names && names->isServiceRegistered(busName) ? names->servicePid(busName).value() : 0;
    }

    // As a user would from another terminal: a command without a display.
    static void setStyle(const char* style)
    {
        QProcessEnvironment environment = privateBuses();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        ASSERT_EQ(runZuvik({QStringLiteral("set"), QStringLiteral("lyricStyle"), QString::fromUtf8(style)}, environment).status, 0);
    }

    PrivateBus bus{PrivateBus::session};
    QDBusConnection connection = QDBusConnection::connectToBus(PrivateBus::sessionAddress(), QStringLiteral("look-change"));
    LogLines log;
    QProcess app;
};

TEST_F(LookChange, OneProcessDrawsEveryLookInTurn)
{
    app.setProcessEnvironment(privateBuses());
    app.start(zuvik, {QStringLiteral("--demo")});
    ASSERT_TRUE(app.waitForStarted());
    const auto pid = static_cast<uint>(app.processId());
    ASSERT_TRUE(waitFor([&] { return owner() == pid; }, 30s));
    ASSERT_TRUE(waitFor([&] { return !log.newMessages().filter(QStringLiteral("renderer: software")).isEmpty(); }, 30s));

    for (const char* style : {"Fisheye", "Visual", "Fisheye Visual"}) {
        setStyle(style);
        // Long enough for the running copy to read the change, and for one that quits to be gone.
        EXPECT_FALSE(app.waitForFinished(4000)) << "gone after the change to " << style;
        EXPECT_EQ(owner(), pid) << "after the change to " << style;
    }
    EXPECT_EQ(runningCopies(), QList<qint64>{app.processId()});
}

// Root-mean-square difference of two pictures of the same size, 0 (same) to 1, as ImageMagick's
// `compare -metric RMSE` gives it normalised.
double rmse(const QImage& a, const QImage& b)
{
    const QImage first = a.convertToFormat(QImage::Format_RGB32);
    const QImage second = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int y = 0; y < first.height(); ++y) {
        for (int x = 0; x < first.width(); ++x) {
            const QRgb p = first.pixel(x, y);
            const QRgb q = second.pixel(x, y);
            for (int channel : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)})
                sum += channel * channel;
        }
    }
    return std::sqrt(sum / (3.0 * first.width() * first.height())) / 255.0;
}

// `software`: on Qt Quick's software renderer, otherwise on OpenGL.
QImage stillFrame(const QTemporaryDir& folder, const char* style, bool software)
{
    const QString picture = folder.filePath(QStringLiteral("%1-%2.png").arg(QString::fromUtf8(style)).arg(software));
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QUICK_BACKEND"));
    if (software)
        environment.insert(QStringLiteral("QT_QUICK_BACKEND"), QStringLiteral("software"));
    else
        environment.insert(QStringLiteral("QSG_RHI_BACKEND"), QStringLiteral("opengl"));
    process.setProcessEnvironment(environment);
    process.start(zuvik, {QStringLiteral("--render-frame"), picture, QStringLiteral("--at"), QStringLiteral("20.6"),
                          QStringLiteral("--style"), QString::fromUtf8(style), QStringLiteral("--size"),
                          QStringLiteral("960x540")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    return QImage(picture);
}

TEST(SoftwareLens, DrawsTheLensAsOpenGLDoes)
{
    QTemporaryDir folder;
    const QImage software = stillFrame(folder, "fisheye", true);
    const QImage openGL = stillFrame(folder, "fisheye", false);
    const QImage unlensed = stillFrame(folder, "ship", true);
    ASSERT_FALSE(software.isNull());
    ASSERT_EQ(software.size(), openGL.size());
    ASSERT_EQ(software.size(), unlensed.size());
    EXPECT_LT(rmse(software, openGL), 0.02);  // 0.008 here; 0.12 with the words drawn without the lens
    EXPECT_GT(rmse(software, unlensed), 0.05);
}

}  // namespace
