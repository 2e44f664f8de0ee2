#pragma once
#include "EventLoopWait.h"
#include "LogLines.h"
#include "PrivateBus.h"
#include <QProcess>
#include <functional>

// The built executable run as a terminal command on the test's private buses.
namespace terminal_run {

// The system bus too is the test's own: a running copy reads the lock state from it.
inline QProcessEnvironment privateBuses()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), PrivateBus::sessionAddress());
    return environment;
}

// As from a plain terminal or over SSH: no display of any kind, and no platform chosen for Qt.
inline QProcessEnvironment withoutDisplay(QProcessEnvironment environment = privateBuses())
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    return environment;
}

struct Outcome {
    int status = -1;  // -1: it crashed or did not finish
    QString out;
    QString err;
};

// The event loop runs meanwhile; inChild runs in the child before the executable starts.
inline Outcome runZuvik(const QStringList& arguments, const QProcessEnvironment& environment = withoutDisplay(),
                        const std::function<void()>& inChild = {})
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setChildProcessModifier(inChild ? inChild : [] {});
    process.start(QStringLiteral(ZUVIK_EXECUTABLE), arguments);
    if (!waitFor([&] { return process.state() == QProcess::NotRunning; }, std::chrono::seconds(30)))
        return {};  // the process is killed as it goes
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

// A copy playing the demo song on the private buses, ready once it has logged `readyLine`.
class RunningCopy {
public:
    explicit RunningCopy(const QString& readyLine = QStringLiteral("now playing (demo)"),
                         const QProcessEnvironment& environment = privateBuses())
    {
        LogLines log;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(ZUVIK_EXECUTABLE), {QStringLiteral("--demo")});
        ready = process.waitForStarted()
                && waitFor([&] { return !log.newMessages().filter(readyLine).isEmpty(); }, std::chrono::seconds(30));
    }
    ~RunningCopy()
    {
        process.terminate();
        process.waitForFinished(10000);
    }
    QProcess process;
    bool ready = false;
};

}  // namespace terminal_run
