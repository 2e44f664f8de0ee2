#include "overlay/FramePacer.h"

#include <algorithm>
#include <cmath>

namespace {

// A sleeping band still looks again this often, in case the playhead moved without a word.
constexpr double longestSleep = 3600;
// While only the sway moves, one display frame in this many is drawn.
constexpr double swayFrameStride = 2.0;

int milliseconds(double seconds) { return static_cast<int>(std::ceil(seconds * 1000)); }

}  // namespace

FramePacer::FramePacer(std::function<void()> due)
    : m_due(std::move(due))
{
    m_steady.start();
    for (QTimer* timer : {&m_wakeTimer, &m_paceTimer}) {
        timer->setSingleShot(true);
        timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer, &QTimer::timeout, [this] { m_due(); });
    }
}

double FramePacer::startFrame()
{
    m_lastFrame = now();
    return m_lastFrame;
}

// Where the platform does not hold the swap to the display's refresh (a virtual X server), the
// band holds itself to it.
void FramePacer::frameShown(double refreshRate, bool onlySwaying)
{
    if (m_paceTimer.isActive())
        return;
    // The sway drifts by under a point per frame even at half the display's rate, which a
    // renderer without a GPU is glad of; everything else moves at the full rate.
    const double interval = (onlySwaying ? swayFrameStride : 1.0) / std::clamp(refreshRate, 24.0, 240.0);
    const double wait = interval - (now() - m_lastFrame);
    if (wait <= 0)
        m_due();
    else
        m_paceTimer.start(milliseconds(wait));
}

void FramePacer::sleep(std::optional<double> seconds)
{
    if (seconds)
        m_wakeTimer.start(milliseconds(std::clamp(*seconds, 0.0, longestSleep)));
}

void FramePacer::stop()
{
    m_wakeTimer.stop();
    m_paceTimer.stop();
}
