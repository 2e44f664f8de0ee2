// Test entry point: gives each test process a fresh, private home and XDG folders before anything
// runs, so tests never touch the developer's files and parallel test processes never share a log.
// Then it makes the application object the code under test expects (a QGuiApplication on the
// offscreen platform in the GUI variant, a QApplication there in the widgets variant; a
// QApplication on an X server of its own, with a compositor, in the X11 variant) and runs the tests.
#include "foundation/DiagLog.h"

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>

#if defined(ZUVIK_TEST_X11)
#include "PrivateX11Server.h"
#include <QApplication>
using TestApplication = QApplication;
#elif defined(ZUVIK_TEST_WIDGETS)
#include <QApplication>
using TestApplication = QApplication;
#elif defined(ZUVIK_TEST_GUI)
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/zuvik-test-XXXXXX"));
    if (!home.isValid())
        return 2;
    const QByteArray root = QFile::encodeName(home.path());
    qputenv("HOME", root);
    qputenv("XDG_STATE_HOME", root + "/state");
    qputenv("XDG_CACHE_HOME", root + "/cache");
    qputenv("XDG_CONFIG_HOME", root + "/config");
    qputenv("XDG_DATA_HOME", root + "/data");
    qputenv("XDG_RUNTIME_DIR", root + "/runtime");
    QDir().mkpath(home.path() + QStringLiteral("/runtime"));
    QFile::setPermissions(home.path() + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
#if defined(ZUVIK_TEST_X11)
    // Listing the tests needs no display; running them needs one of their own.
    ::testing::InitGoogleTest(&argc, argv);
    std::optional<PrivateX11Server> x11;
    if (!::testing::GTEST_FLAG(list_tests)) {
        x11.emplace();
        if (!x11->isRunning())
            return 3;
    }
    qputenv("QT_QPA_PLATFORM", x11 ? "xcb" : "offscreen");
#else
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
#endif
    TestApplication app(argc, argv);
    const int failed = RUN_ALL_TESTS();
    DiagLog::shared().waitUntilWritten();  // before the private home goes away under the writer
    return failed;
}
