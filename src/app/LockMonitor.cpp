#include "app/LockMonitor.h"

#include "foundation/DiagLog.h"
#include "app/LockStateSource.h"

#include <QPointer>

LockMonitor::LockMonitor(LockStateSource& source, QObject* parent)
    : QObject(parent)
    , m_source(source)
    , m_locked(source.readNow())
{
    connect(&m_source, &LockStateSource::mayHaveChanged, this, &LockMonitor::recheck);
    connect(&m_timer, &QTimer::timeout, this, &LockMonitor::recheck);
    m_timer.start(recheckIntervalMs);
}

void LockMonitor::recheck()
{
    if (m_reading) {
        // An announcement during a read may mean the read's answer is already old.
        m_recheckAgain = true;
        return;
    }
    m_reading = true;
    m_source.read([self = QPointer(this)](bool locked) {
        if (!self)
            return;
        self->m_reading = false;
        self->apply(locked);
        if (std::exchange(self->m_recheckAgain, false))
            self->recheck();
    });
}

void LockMonitor::apply(bool locked)
{
    if (locked == m_locked)
        return;
    m_locked = locked;
    DiagLog::log(locked ? QStringLiteral("screen locked") : QStringLiteral("screen unlocked"));
    Q_EMIT lockedChanged(locked);
}
