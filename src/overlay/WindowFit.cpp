#include "overlay/WindowFit.h"

#include "overlay/BandGeometry.h"
#include "overlay/SwayTransform.h"

#include <cmath>

namespace {

// The largest sway of any look; the overlay is sized for it once, so switching looks never
// resizes it.
constexpr double largestSwayAmplitude = 1.0;

double area(const QRect& rect) { return static_cast<double>(rect.width()) * static_cast<double>(rect.height()); }

}  // namespace

WindowFit::WindowFit(QRect reach, double displayHeight)
    : m_reach(reach)
    , m_slack(std::ceil(slackShareOfHeight * std::max(displayHeight, 0.0)))
    , m_current(reach)
{}

QRect WindowFit::withSlack(const QRectF& drawn) const
{
    return drawn.adjusted(-m_slack, -m_slack, m_slack, m_slack).toAlignedRect().intersected(m_reach);
}

std::optional<QRect> WindowFit::follow(const QRectF& drawn, double time)
{
    if (drawn.isEmpty() || !drawn.isValid())
        return std::nullopt;  // nothing drawn: nothing is rendered either, so size does not matter
    const QRect wanted = withSlack(drawn);
    if (wanted.isEmpty())
        return std::nullopt;
    if (!m_current.contains(wanted)) {
        m_current = m_current.united(wanted).intersected(m_reach);
        m_smallSince.reset();
        return m_current;
    }
    if (area(m_current) <= shrinkRatio * area(wanted)) {
        m_smallSince.reset();
        return std::nullopt;
    }
    if (!m_smallSince) {
        m_smallSince = time;
        return std::nullopt;
    }
    if (time - *m_smallSince < shrinkAfterSeconds)
        return std::nullopt;
    m_smallSince.reset();
    m_current = wanted;
    return m_current;
}

QRect overlayReach(QSizeF display)
{
    const QRectF band = band::bandRect(display);
    const QRectF reach = swayReach(band.size(), largestSwayAmplitude).translated(band.topLeft());
    const QRect onDisplay = reach.intersected(QRectF(QPointF(0, 0), display)).toAlignedRect();
    return onDisplay.isEmpty() ? QRect(0, 0, 1, 1) : onDisplay;
}
