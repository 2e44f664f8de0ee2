#include "app/TrackTiming.h"

#include "foundation/DiagLog.h"

#include <cmath>

TrackTiming::TrackTiming(TrackOffsets& offsets, QObject* parent)
    : QObject(parent)
    , m_offsets(offsets)
{}

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

std::optional<WriteResult> TrackTiming::nudge(double delta)
{
    if (!m_track)
        return std::nullopt;
    return setOffset(m_offset + delta);
}

std::optional<WriteResult> TrackTiming::setOffset(double seconds)
{
    if (!m_track)
        return std::nullopt;
    const WriteResult stored = m_offsets.setOffset(*m_track, seconds);
    apply(m_offsets.offset(*m_track));
    const QString change = QStringLiteral("timing: offset ") + offsetLabel(m_offset) + QStringLiteral(" — ")
                           + m_track->artist + QStringLiteral(" — ") + m_track->title;
    DiagLog::log(stored.written ? change : change + QStringLiteral(", not saved: ") + stored.error);
    Q_EMIT adjusted(m_offset);
    return stored;
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
