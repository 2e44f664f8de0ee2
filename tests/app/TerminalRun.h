#pragma once

#include "PrivateBus.h"

#include <QProcess>
#include <QString>
#include <QStringList>

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

// inChild: run in the child before the executable starts (to give up root, say).
inline Outcome runZuvik(const QStringList& arguments, const QProcessEnvironment& environment = withoutDisplay(),
                        const std::function<void()>& inChild = {})
{
    QProcess process;
    process.setProcessEnvironment(environment);
    if (inChild)
        process.setChildProcessModifier(inChild);
    process.start(QStringLiteral(ZUVIK_EXECUTABLE), arguments);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

}  // namespace terminal_run
