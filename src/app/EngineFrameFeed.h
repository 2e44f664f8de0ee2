#pragma once

#include "app/FrameTrace.h"
#include "overlay/FrameFeed.h"
#include "overlay/FrameInput.h"
#include "overlay/QtTextMeasurer.h"
#include "playback/PlayheadAnchor.h"

class AppSettings;
class LyricEngine;

// The overlays' feed over the running application: the engine's lyrics and playhead, the user's
// settings, fonts measured by Qt. One feed serves every display.
class EngineFrameFeed final : public FrameFeed {
    Q_OBJECT
public:
    EngineFrameFeed(LyricEngine& engine, AppSettings& settings, QObject* parent = nullptr);

    // Draws every frame in this look, whatever the settings say (for one run).
    void overrideStyle(std::optional<LyricStyle> style);
    // Where the words' pictograms come from; none until this is set.
    void setVisuals(VisualLookup visuals);
    // The user's correction for this track: positive draws the lyrics that many seconds later.
    void setTimingOffset(double seconds);

    Frame frameAt(const QDateTime& instant, QSizeF displaySize) const override;
    std::optional<double> secondsUntilNextChange(const QDateTime& instant) const override;

private:
    void onAnchor(const PlayheadAnchor& anchor);
    double drawnPlayhead(const QDateTime& instant) const;

    LyricEngine& m_engine;
    AppSettings& m_settings;
    QtTextMeasurer m_measurer;
    VisualLookup m_visuals;
    std::optional<LyricStyle> m_style;
    double m_timingOffset = 0.0;
    PlayheadAnchor m_lastAnchor = PlayheadAnchor::idle();
    std::unique_ptr<FrameTrace> m_trace = FrameTrace::fromEnvironment();
};

// The settings as a frame is drawn with them: the text scale held to its drawing bounds here, the
// one place it is read.
FrameSettings frameSettingsFrom(const AppSettings& settings);

// Seconds since 2001-01-01 00:00:00 UTC, the clock the sway runs on.
double secondsSinceReferenceDate(const QDateTime& instant);
