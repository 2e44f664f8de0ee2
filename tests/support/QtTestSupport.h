#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The process's QCoreApplication, made on first use and kept until the process ends (QtDBus and
// queued calls need one; tearing it down between tests is not supported by QtDBus).
void ensureQtApplication();

// As a first member, makes sure the application exists before the members after it.
struct WithQtApplication {
    WithQtApplication() { ensureQtApplication(); }
};

// Runs the event loop until `condition` holds or `timeoutMs` has passed; says whether it holds.
// Time-outs are generous: they bound a failing test, they are not what a passing one measures.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 15000);

// The diagnostic log lines written from now on, without their time stamps.
class LogLines {
public:
    LogLines();
    // Every line written since construction (waits for queued lines to reach the file first).
    QStringList lines() const;
    bool contains(const QString& line) const { return lines().contains(line); }

private:
    qint64 m_offset;
};
