#include "overlay/SpringMotion.h"

#include <cmath>

SpringMotion::SpringMotion(Spring spring, double value, double time)
    : m_spring(spring)
    , m_from(value)
    , m_target(value)
    , m_legStart(time)
{}

SpringState SpringMotion::at(double time) const
{
    return m_spring.state(m_from, m_target, m_velocity, time - m_legStart);
}

void SpringMotion::retarget(double target, double time)
{
    const SpringState now = at(time);
    m_from = now.value;
    m_velocity = now.velocity;
    m_target = target;
    m_legStart = time;
}

bool SpringMotion::isSettled(double time, double tolerance) const
{
    const SpringState now = at(time);
    return std::abs(now.value - m_target) <= tolerance && std::abs(now.velocity) <= tolerance;
}
