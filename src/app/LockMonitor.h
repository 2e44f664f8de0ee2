#pragma once

#include <QObject>
#include <QTimer>

class LockStateSource;

// Tells whether the screen is locked: re-reads the state on the platform's announcements and once
// a second (which catches what the announcements miss), and reports each change once.
class LockMonitor : public QObject {
    Q_OBJECT
public:
    static constexpr int recheckIntervalMs = 1000;

    // Reads the initial state at once; that state is not reported as a change.
    explicit LockMonitor(LockStateSource& source, QObject* parent = nullptr);

    bool isLocked() const { return m_locked; }
    void recheck();

Q_SIGNALS:
    void lockedChanged(bool locked);

private:
    void apply(bool locked);

    LockStateSource& m_source;
    QTimer m_timer;
    bool m_locked = false;
    bool m_reading = false;  // one read at a time, so a slow bus does not pile them up
    bool m_recheckAgain = false;
};
