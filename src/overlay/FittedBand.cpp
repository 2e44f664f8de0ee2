#include "overlay/FittedBand.h"

#include "overlay/LyricBand.h"

FittedBand::FittedBand(LyricBand* band, Move move)
    : m_band(band)
    , m_move(std::move(move))
{}

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
