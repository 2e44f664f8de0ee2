#pragma once

#include "overlay/Spring.h"

// A value travelling under a spring toward a target that may change at any time. Retargeting
// starts a new leg from the value and velocity at that instant, so a row that is still moving
// when the next word starts carries its momentum instead of jerking.
class SpringMotion {
public:
    // At rest at `value` from `time` on.
    SpringMotion(Spring spring, double value, double time);

    SpringState at(double time) const;
    double target() const { return m_target; }
    void retarget(double target, double time);
    // Close enough to the target and slow enough that drawing it again would change nothing.
    bool isSettled(double time, double tolerance) const;

private:
    Spring m_spring;
    double m_from;
    double m_velocity = 0;
    double m_target;
    double m_legStart;
};
