#include "overlay/IconMotion.h"

#include "overlay/Angles.h"
#include "overlay/Spring.h"

#include <cmath>
#include <numbers>

namespace icon_motion {

namespace {

constexpr Spring swing{0.3, 0.25};
constexpr double swingFromDegrees = -14.0;
constexpr double settledDegrees = 0.05;
// One wiggle at speed 1.5: three swings either way, fading out, in 0.53 s.
constexpr double wiggleSeconds = 0.8 / 1.5;
constexpr double wiggleDegrees = 12.0;
constexpr double wiggleSwings = 3.0;

}  // namespace

double turn(WordVisual::Kind kind, double age)
{
    if (!(age > 0))
        return kind == WordVisual::Kind::emoji ? swingFromDegrees * radiansPerDegree : 0.0;
    if (kind == WordVisual::Kind::emoji)
        return swing.state(swingFromDegrees, 0, 0, age).value * radiansPerDegree;
    if (age >= wiggleSeconds)
        return 0.0;
    const double progress = age / wiggleSeconds;
    return wiggleDegrees * std::sin(2 * std::numbers::pi * wiggleSwings * progress) * (1 - progress) * radiansPerDegree;
}

bool isMoving(WordVisual::Kind kind, double age)
{
    if (kind == WordVisual::Kind::symbol)
        return age < wiggleSeconds;
    const SpringState state = swing.state(swingFromDegrees, 0, 0, std::max(age, 0.0));
    return std::abs(state.value) > settledDegrees || std::abs(state.velocity) > settledDegrees;
}

}  // namespace icon_motion
