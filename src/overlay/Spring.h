#pragma once

// Position and velocity of a sprung value.
struct SpringState {
    double value = 0;
    double velocity = 0;
};

// A unit-mass damped spring described the way designers tune it: the response r is the period
// of the undamped oscillation in seconds and the damping fraction z is 1 for critical damping.
// That is a stiffness of (2π/r)² and a damping coefficient of 4πz/r. Solved in closed form, so a
// frame can ask for any instant without stepping through the ones before it.
class Spring {
public:
    constexpr Spring(double response, double dampingFraction)
        : m_response(response)
        , m_dampingFraction(dampingFraction)
    {}

    constexpr double response() const { return m_response; }
    constexpr double dampingFraction() const { return m_dampingFraction; }
    double stiffness() const;
    double damping() const;

    // The state `elapsed` seconds after leaving `from` with `velocity`, pulled toward `target`.
    // A response that is not a positive number snaps to the target; a negative damping fraction
    // counts as 0 (a spring must never gain energy); elapsed times of 0 or less give the start.
    SpringState state(double from, double target, double velocity, double elapsed) const;

    friend constexpr bool operator==(const Spring&, const Spring&) = default;

private:
    double m_response;
    double m_dampingFraction;
};
