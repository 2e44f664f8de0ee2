#include "overlay/Spring.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Closer to critical damping than this, the under- and overdamped forms lose precision to
// cancellation while the critical form is off by less than the tolerance itself.
constexpr double criticalBand = 1e-6;

// Displacement u0 and velocity v0 at time 0, natural frequency w0, damping fraction z.
SpringState underdamped(double u0, double v0, double w0, double z, double t)
{
    const double wd = w0 * std::sqrt(1 - z * z);
    const double decay = std::exp(-z * w0 * t);
    const double a = u0;
    const double b = (v0 + z * w0 * u0) / wd;
    const double c = std::cos(wd * t);
    const double s = std::sin(wd * t);
    const double u = decay * (a * c + b * s);
    const double v = decay * ((b * wd - z * w0 * a) * c - (a * wd + z * w0 * b) * s);
    return {u, v};
}

SpringState critical(double u0, double v0, double w0, double t)
{
    const double decay = std::exp(-w0 * t);
    const double b = v0 + w0 * u0;
    return {decay * (u0 + b * t), decay * (v0 - w0 * b * t)};
}

SpringState overdamped(double u0, double v0, double w0, double z, double t)
{
    // Two decaying exponentials rather than cosh/sinh, which overflow for long elapsed times.
    const double root = w0 * std::sqrt(z * z - 1);
    const double r1 = -z * w0 + root;
    const double r2 = -z * w0 - root;
    const double c2 = (v0 - r1 * u0) / (r2 - r1);
    const double c1 = u0 - c2;
    const double e1 = std::exp(r1 * t);
    const double e2 = std::exp(r2 * t);
    return {c1 * e1 + c2 * e2, c1 * r1 * e1 + c2 * r2 * e2};
}

}  // namespace

double Spring::stiffness() const
{
    const double w0 = 2 * std::numbers::pi / m_response;
    return w0 * w0;
}

double Spring::damping() const { return 4 * std::numbers::pi * m_dampingFraction / m_response; }

SpringState Spring::state(double from, double target, double velocity, double elapsed) const
{
    if (!(m_response > 0) || !std::isfinite(m_response))
        return {target, 0};
    if (!(elapsed > 0))
        return {from, velocity};

    const double w0 = 2 * std::numbers::pi / m_response;
    const double z = std::isfinite(m_dampingFraction) ? std::max(m_dampingFraction, 0.0) : 1.0;
    const double u0 = from - target;
    SpringState u;
    if (std::abs(z - 1) < criticalBand)
        u = critical(u0, velocity, w0, elapsed);
    else if (z < 1)
        u = underdamped(u0, velocity, w0, z, elapsed);
    else
        u = overdamped(u0, velocity, w0, z, elapsed);
    return {target + u.value, u.velocity};
}
