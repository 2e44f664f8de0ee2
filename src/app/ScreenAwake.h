#pragma once

#include "app/DisplaySleepInhibitor.h"

#include <QObject>

#include <functional>
#include <optional>

// Holds a display-sleep assertion exactly while music plays and the user wants the screen kept
// awake. Main thread only.
class ScreenAwake : public QObject {
    Q_OBJECT
public:
    static inline const QString assertionReason = QStringLiteral("Orvane showing lyrics for playing music");

    ScreenAwake(DisplaySleepInhibitor& inhibitor, std::function<bool()> keepScreenAwake, QObject* parent = nullptr);

    bool isHeld() const { return m_assertionId.has_value(); }
    // Written by the now-playing monitor before each update().
    void setPlaying(bool playing) { m_playing = playing; }
    // Takes or releases the assertion to match playing and the setting.
    void update();

private:
    void onHoldAnswer(const DisplaySleepInhibitor::HoldResult& result);
    void release();

    DisplaySleepInhibitor& m_inhibitor;
    const std::function<bool()> m_keepScreenAwake;
    std::optional<quint32> m_assertionId;
    bool m_playing = false;
    bool m_requesting = false;  // a hold is in flight; its answer decides what happens next
    // A hold that keeps failing (no screen saver service) is retried on every update but logged
    // once per streak, so that it cannot flood the capped log file.
    bool m_failureLogged = false;
};
