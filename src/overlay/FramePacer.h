#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <functional>
#include <optional>

// When the band draws its next frame: a display frame after the last while anything moves (every
// other one while only the sway moves), otherwise asleep until the next change is due or it is
// woken. Keeps the steady clock the animation runs on. GUI thread.
class FramePacer {
public:
    explicit FramePacer(std::function<void()> due);

    // Seconds on the steady clock.
    double now() const { return 1e-3 * static_cast<double>(m_steady.elapsed()); }
    // A frame is drawn now; returns its steady time.
    double startFrame();
    // A frame was shown while something moves: the next is due a display frame after the last.
    void frameShown(double refreshRate, bool onlySwaying);
    // Nothing moves: due again in `seconds` (held to an hour), or only when woken.
    void sleep(std::optional<double> seconds);
    // A frame is asked for now, so the sleep is over.
    void cancelSleep() { m_wakeTimer.stop(); }
    void stop();

private:
    std::function<void()> m_due;
    QElapsedTimer m_steady;
    QTimer m_wakeTimer;
    QTimer m_paceTimer;
    double m_lastFrame = -1;
};
