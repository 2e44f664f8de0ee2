#include "platform/mpris/PositionCorrector.h"

#include "foundation/DiagLog.h"
#include "platform/mpris/MprisPlayerState.h"

#include <algorithm>
#include <cmath>

namespace {

// Two samples at least this far apart tell the unit by how fast the value advanced.
constexpr double unitSampleSpacingSeconds = 0.3;

bool is32BitType(const QVariant& value)
{
    const int type = value.typeId();
    return type == QMetaType::Int || type == QMetaType::UInt;
}

double secondsBetween(const QDateTime& from, const QDateTime& to) { return double(from.msecsTo(to)) / 1000.0; }

}  // namespace

std::optional<double> PositionCorrector::seconds(const QString& player, const NowPlayingTrack& track,
                                                 const QVariant& reported, std::optional<double> lengthSeconds,
                                                 bool isPlaying, const QDateTime& now)
{
    if (!isSameTrack(m_track, track))
        startTrack(track);
    const double sent = reported.toDouble();
    if (!isMprisNumber(reported) || !std::isfinite(sent))
        return std::nullopt;
    const double raw = unwrapped(sent, is32BitType(reported), lengthSeconds, now);
    if (raw != sent)
        logOnce(m_loggedWrap, QStringLiteral("player query: %1 position wraps at 32 bits — corrected").arg(player));
    learnUnit(raw, isPlaying, now);
    m_previous = Previous{raw, now, isPlaying};
    if (m_unit == Unit::milliseconds)
        logOnce(m_loggedMilliseconds,
                QStringLiteral("player query: %1 reports its position in milliseconds — corrected").arg(player));

    const double position = m_unit == Unit::milliseconds ? raw / 1e3 : raw / 1e6;
    if (position < 0)
        return std::nullopt;
    if (lengthSeconds && *lengthSeconds > 0 && position > *lengthSeconds + pastEndToleranceSeconds) {
        logOnce(m_loggedPastEnd,
                QStringLiteral("player query: %1 position past the end of the track — not shown").arg(player));
        return std::nullopt;
    }
    return position;
}

void PositionCorrector::startTrack(const NowPlayingTrack& track)
{
    *this = PositionCorrector();
    m_track = track;
}

double PositionCorrector::unwrapped(double raw, bool is32Bit, std::optional<double> lengthSeconds,
                                    const QDateTime& now) const
{
    if (!is32Bit)
        return raw;
    // A signed 32-bit value that went negative has wrapped once already.
    const double unsignedValue = raw < 0 ? raw + wrapSpan : raw;
    if (!m_previous || m_unit == Unit::milliseconds)
        return unsignedValue;
    // The wrap count that brings the value nearest to where the previous sample points.
    const double rate = m_previous->playing ? 1e6 : 0;
    const double expected = m_previous->raw + rate * secondsBetween(m_previous->at, now);
    double wraps = std::max(0.0, std::round((expected - unsignedValue) / wrapSpan));
    // Only as many wraps as the track is long: a seek back to the start is not one more wrap.
    if (lengthSeconds && *lengthSeconds > 0)
        wraps = std::min(
            wraps,
            std::max(0.0, std::floor(((*lengthSeconds + pastEndToleranceSeconds) * 1e6 - unsignedValue) / wrapSpan)));
    return unsignedValue + wraps * wrapSpan;
}

void PositionCorrector::learnUnit(double raw, bool isPlaying, const QDateTime& now)
{
    if (m_unit != Unit::unknown || !m_previous || !isPlaying || !m_previous->playing)
        return;
    const double wall = secondsBetween(m_previous->at, now);
    if (wall < unitSampleSpacingSeconds)
        return;
    // Per second of play a position in microseconds advances by about a million, one in
    // milliseconds by about a thousand; anything else (a seek in between) tells nothing.
    const double advance = (raw - m_previous->raw) / wall;
    if (advance > 2e5 && advance < 5e6) {
        m_unit = Unit::microseconds;
    } else if (advance > 200 && advance < 5000) {
        m_unit = Unit::milliseconds;
    }
}

void PositionCorrector::logOnce(bool& logged, const QString& line)
{
    if (logged)
        return;
    logged = true;
    DiagLog::log(line);
}
