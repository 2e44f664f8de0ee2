#include "app/EngineFrameFeed.h"

#include "app/LyricEngine.h"
#include "overlay/FrameModel.h"
#include "overlay/NextLineChange.h"
#include "settings/AppSettings.h"

namespace {

constexpr qint64 referenceDateSinceEpochMs = 978'307'200'000;

// The start of the word being sung at `playhead`, for the frame trace.
std::optional<double> wordStartAt(const TimedLyrics* lyrics, double playhead)
{
    const auto active = lyrics ? lyrics->activeGroup(playhead) : std::nullopt;
    if (!active)
        return std::nullopt;
    return active->group->at(active->startedWords - 1).start;
}

}  // namespace

FrameSettings frameSettingsFrom(const AppSettings& settings)
{
    FrameSettings values;
    values.style = settings.style();
    values.textColor = settings.textColor();
    values.highlightColor = settings.highlightColor();
    values.secondaryColor = settings.secondaryColor();
    values.contrastColor = settings.highlightContrastColor();
    values.font = settings.lyricFont();
    values.textScale = drawingTextScale(settings.textScale());
    return values;
}

double secondsSinceReferenceDate(const QDateTime& instant)
{
    return 1e-3 * static_cast<double>(instant.toMSecsSinceEpoch() - referenceDateSinceEpochMs);
}

EngineFrameFeed::EngineFrameFeed(LyricEngine& engine, AppSettings& settings, QObject* parent)
    : FrameFeed(parent)
    , m_engine(engine)
    , m_settings(settings)
{
    connect(&engine, &LyricEngine::lyricsChanged, this, &FrameFeed::changed);
    connect(&engine.nowPlaying(), &NowPlayingMonitor::anchorChanged, this, &EngineFrameFeed::onAnchor);
    connect(&settings, &AppSettings::styleChanged, this, &FrameFeed::changed);
    connect(&settings, &AppSettings::colorChanged, this, &FrameFeed::changed);
    connect(&settings, &AppSettings::lyricFontChanged, this, &FrameFeed::changed);
    connect(&settings, &AppSettings::textScaleChanged, this, &FrameFeed::changed);
}

void EngineFrameFeed::overrideStyle(std::optional<LyricStyle> style)
{
    m_style = style;
    Q_EMIT changed();
}

void EngineFrameFeed::setVisuals(VisualLookup visuals)
{
    m_visuals = std::move(visuals);
    Q_EMIT changed();
}

void EngineFrameFeed::setTimingOffset(double seconds)
{
    if (seconds == m_timingOffset)
        return;
    m_timingOffset = seconds;
    Q_EMIT changed();
}

double EngineFrameFeed::drawnPlayhead(const QDateTime& instant) const
{
    return m_engine.playhead(instant) - m_timingOffset;
}

// The monitor republishes its anchor on every poll; only a different one can change a frame.
void EngineFrameFeed::onAnchor(const PlayheadAnchor& anchor)
{
    if (anchor == m_lastAnchor)
        return;
    m_lastAnchor = anchor;
    Q_EMIT changed();
}

Frame EngineFrameFeed::frameAt(const QDateTime& instant, QSizeF displaySize) const
{
    FrameInput input;
    input.frameTime = secondsSinceReferenceDate(instant);
    input.playhead = drawnPlayhead(instant);
    input.lyrics = m_engine.lyrics() ? &*m_engine.lyrics() : nullptr;
    input.settings = frameSettingsFrom(m_settings);
    if (m_style)
        input.settings.style = *m_style;
    input.displaySize = displaySize;
    input.measurer = &m_measurer;
    input.visualFor = m_visuals;
    if (m_trace)
        m_trace->record(instant, input.playhead, wordStartAt(input.lyrics, input.playhead));
    return FrameModel::build(input);
}

std::optional<double> EngineFrameFeed::secondsUntilNextChange(const QDateTime& instant) const
{
    const auto& lyrics = m_engine.lyrics();
    const double rate = m_engine.nowPlaying().anchor().rate;
    if (!lyrics || !(rate > 0))
        return std::nullopt;  // nothing moves until the lyrics or the anchor change
    const double t = drawnPlayhead(instant);
    const auto next = nextLineChange(*lyrics, t);
    if (!next)
        return std::nullopt;
    return (*next - t) / rate;
}
