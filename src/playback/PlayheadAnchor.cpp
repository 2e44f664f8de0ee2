#include "playback/PlayheadAnchor.h"

double PlayheadAnchor::position(const QDateTime& instant) const
{
    // A paused anchor never looks at its timestamp, which is what lets `idle` use a date that no
    // real instant is near.
    if (rate == 0)
        return elapsed;
    return elapsed + rate * double(timestamp.msecsTo(instant)) / 1000.0;
}

const PlayheadAnchor& PlayheadAnchor::idle()
{
    static const PlayheadAnchor anchor{0, QDateTime(QDate(1, 1, 1), QTime(0, 0), Qt::UTC), 0};
    return anchor;
}
