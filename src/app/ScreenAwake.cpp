#include "app/ScreenAwake.h"

#include "foundation/DiagLog.h"

#include <QPointer>

ScreenAwake::ScreenAwake(DisplaySleepInhibitor& inhibitor, std::function<bool()> keepScreenAwake, QObject* parent)
    : QObject(parent)
    , m_inhibitor(inhibitor)
    , m_keepScreenAwake(std::move(keepScreenAwake))
{}

void ScreenAwake::update()
{
    const bool want = m_playing && m_keepScreenAwake();
    if (!want)
        m_failureLogged = false;  // a new streak starts with the next wish to hold
    if (m_requesting || want == isHeld())
        return;  // an answer in flight re-runs update() when it lands
    if (!want) {
        release();
        return;
    }
    m_requesting = true;
    m_inhibitor.hold(assertionReason, [self = QPointer(this)](const DisplaySleepInhibitor::HoldResult& result) {
        if (self)
            self->onHoldAnswer(result);
    });
}

void ScreenAwake::onHoldAnswer(const DisplaySleepInhibitor::HoldResult& result)
{
    m_requesting = false;
    if (!result.assertionId) {
        // Not held: the next update (half a second later while music plays) tries again.
        if (!m_failureLogged)
            DiagLog::log(QStringLiteral("screen awake: assertion FAILED (%1)").arg(result.errorCode));
        m_failureLogged = true;
        return;
    }
    m_failureLogged = false;
    m_assertionId = result.assertionId;
    DiagLog::log(QStringLiteral("screen awake: assertion held"));
    update();  // playback may have stopped, or the setting gone off, while we waited
}

void ScreenAwake::release()
{
    m_inhibitor.release(*m_assertionId);
    m_assertionId.reset();
    DiagLog::log(QStringLiteral("screen awake: assertion released"));
}
