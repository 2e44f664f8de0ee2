#include "app/TrackTiming.h"

#include "app/DiagLog.h"

#include <cmath>

TrackTiming::TrackTiming(TrackOffsets& offsets, QObject* parent)
    : QObject(parent)
    , m_offsets(offsets)
{
}

void TrackTiming::followTrack(const std::optional<NowPlayingTrack>& track)
{
    const bool hadTrack = m_track.has_value();
    m_track = track;
    apply(track ? m_offsets.offset(*track) : 0.0);
    if (hadTrack != m_track.has_value())
        Q_EMIT trackAvailabilityChanged(m_track.has_value());
    if (m_track && m_offset != 0.0)
        DiagLog::log(QStringLiteral("timing: offset ") + offsetLabel(m_offset) + QStringLiteral(" for this track"));
}

bool TrackTiming::nudge(double delta)
{
    return m_track && setOffset(m_offset + delta);
}

bool TrackTiming::setOffset(double seconds)
{
    if (!m_track)
        return false;
    apply(m_offsets.setOffset(*m_track, seconds));
    DiagLog::log(QStringLiteral("timing: offset ") + offsetLabel(m_offset) + QStringLiteral(" — ") + m_track->artist
                 + QStringLiteral(" — ") + m_track->title);
    Q_EMIT adjusted(m_offset);
    return true;
}

void TrackTiming::apply(double seconds)
{
    if (seconds == m_offset)
        return;
    m_offset = seconds;
    Q_EMIT offsetChanged(m_offset);
}

QString offsetLabel(double seconds)
{
    const double rounded = std::round(seconds * 1000.0) / 1000.0;
    if (rounded == 0.0)
        return QStringLiteral("0.0 s");
    QString digits = QString::number(std::abs(rounded), 'f', 3);
    while (digits.endsWith(u'0') && !digits.endsWith(QStringLiteral(".0")))
        digits.chop(1);
    return (rounded > 0 ? QStringLiteral("+") : QStringLiteral("\u2212")) + digits + QStringLiteral(" s");
}
