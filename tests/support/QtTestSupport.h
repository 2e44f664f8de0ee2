#pragma once

#include "EventLoopWait.h"
#include "LogLines.h"

#include <QCoreApplication>

// The benchmarks' QCoreApplication, kept until the process ends: QtDBus does not support tearing it down.
inline void ensureQtApplication()
{
    static int argc = 1;
    static char name[] = "zuvik-test";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);  // kept for the life of the process, like the real program's
}

// As a first member, makes sure the application exists before the members after it.
struct WithQtApplication {
    WithQtApplication() { ensureQtApplication(); }
};

// waitFor with a time-out in milliseconds, generous: it bounds a failing test.
template <typename Done> bool waitUntil(Done&& done, int timeoutMs = 15000)
{
    return waitFor(std::forward<Done>(done), std::chrono::milliseconds(timeoutMs));
}
