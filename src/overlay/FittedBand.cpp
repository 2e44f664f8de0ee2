#include "overlay/FittedBand.h"

#include "overlay/LyricBand.h"

#include <QQuickItem>

FittedBand::FittedBand(QQuickItem* scene, FrameFeed& feed, QObject& host, Move move)
    : m_band(scene ? scene->findChild<LyricBand*>(QStringLiteral("lyricBand")) : nullptr)
    , m_move(std::move(move))
{
    if (!m_band)
        return;
    m_band->setFeed(&feed);
    QObject::connect(m_band, &LyricBand::frameAdvanced, &host,
                     [this](const QRectF& drawn, double steadySeconds) { follow(drawn, steadySeconds); });
}

void FittedBand::fitToDisplay(QSizeF display)
{
    const QRect reach = overlayReach(display);
    m_display = display;
    m_fit.emplace(reach, display.height());
    place(reach);
}

void FittedBand::follow(const QRectF& drawn, double steadySeconds)
{
    if (!m_fit)
        return;
    if (const auto fitted = m_fit->follow(drawn.translated(m_placement.topLeft()), steadySeconds))
        place(*fitted);
}

void FittedBand::place(const QRect& onDisplay)
{
    m_placement = onDisplay;
    m_move(onDisplay);
    if (m_band)
        m_band->setPlacement(m_display, onDisplay.topLeft());
}
