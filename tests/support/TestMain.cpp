// Each test process gets a private home and XDG folders, so it never touches the developer's files or another's log.
#include "foundation/DiagLog.h"

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>

#if defined(ZUVIK_TEST_X11) || defined(ZUVIK_TEST_WIDGETS)
#include "PrivateX11Server.h"
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
    for (const QByteArray folder : {"state", "cache", "config", "data"})
        qputenv("XDG_" + folder.toUpper() + "_HOME", root + '/' + folder);
    qputenv("XDG_RUNTIME_DIR", root + "/runtime");
    QDir(home.path()).mkdir("runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
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
