#pragma once

#include "playback/NowPlayingTrack.h"
#include "playback/PlayerSample.h"
#include "playback/PlayheadAnchor.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

// Polls the player twice a second and keeps two observable values: the current track and a
// playhead anchor. The anchor is replaced only when the extrapolation has gone wrong by more than
// resyncThreshold, when play/pause flips or when the track changes, so that a playhead
// extrapolated from it moves smoothly between samples. Main thread only.
//
// Every assignment emits its signal, also with an unchanged value, synchronously and in
// assignment order (track before anchor); consumers that want changes only drop repeats.
class NowPlayingMonitor : public QObject {
    Q_OBJECT
public:
    using Completion = std::function<void(std::optional<PlayerSample>)>;
    // Starts one player query; the completion is called exactly once, on any thread.
    using StartQuery = std::function<void(Completion)>;
    using Clock = std::function<QDateTime()>;

    static constexpr int sampleIntervalMs = 500;
    static constexpr double resyncThreshold = 0.25;  // seconds of tolerated disagreement

    // Starts polling at once: one query now, then one per sampleIntervalMs.
    explicit NowPlayingMonitor(StartQuery startQuery, QObject* parent = nullptr,
                               Clock clock = &QDateTime::currentDateTimeUtc);

    const std::optional<NowPlayingTrack>& track() const { return m_track; }
    const PlayheadAnchor& anchor() const { return m_anchor; }

    // Applies one query result; the poll calls it on the main thread, in the order the queries ran.
    void ingest(const std::optional<PlayerSample>& sample);
    // Queries at once and starts the interval afresh.
    void pollNow();
    // A callable for any thread that makes the monitor poll at once (a player reported a seek);
    // harmless once the monitor is gone.
    std::function<void()> seekReporter();

Q_SIGNALS:
    // Emitted first on every ingest, with whether music is playing. The screen-awake holder
    // listens to it; nothing else needs to.
    void playingReported(bool isPlaying);
    void trackChanged(const std::optional<NowPlayingTrack>& track);
    void anchorChanged(const PlayheadAnchor& anchor);

private:
    void poll();
    void setTrack(const std::optional<NowPlayingTrack>& track);
    void setAnchor(const PlayheadAnchor& anchor);

    const StartQuery m_startQuery;
    const Clock m_clock;
    QTimer m_timer;
    std::optional<NowPlayingTrack> m_track;
    PlayheadAnchor m_anchor = PlayheadAnchor::idle();
};
