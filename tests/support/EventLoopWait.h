#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <chrono>

// Runs the event loop until done() holds or the limit passes; tells which.
template <typename Done> bool waitFor(Done&& done, std::chrono::milliseconds limit = std::chrono::seconds(10))
{
    const QDeadlineTimer deadline(limit);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        // processEvents() leaves out objects deleted later from outside any event loop.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(1);
    }
    return true;
}

// Runs the event loop for a while, for tests that check that something does not happen.
inline void runEventLoopFor(std::chrono::milliseconds span)
{
    waitFor([] { return false; }, span);
}
