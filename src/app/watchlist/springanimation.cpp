// SPDX-License-Identifier: GPL-3.0-or-later
#include "springanimation.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Vantrell {

namespace {

constexpr double settledDistance = 0.5;

struct SpringShape
{
    double decay; // ζ·ω0, per second
    double frequency; // damped angular frequency, per second
};

SpringShape shape(const SpringAnimation &spring)
{
    const double omega = 2 * std::numbers::pi / std::max(spring.response, 1e-3);
    // Critical damping has no oscillation to speak of; staying just below it keeps one formula.
    const double zeta = std::clamp(spring.dampingFraction, 0.01, 0.999);
    return {zeta * omega, omega * std::sqrt(1 - zeta * zeta)};
}

} // namespace

double SpringAnimation::valueAt(double time) const
{
    if (from == to || time >= start + duration())
        return to;
    const double t = std::max(time - start, 0.0);
    const SpringShape s = shape(*this);
    const double envelope = std::exp(-s.decay * t);
    return to
        + (from - to) * envelope * (std::cos(s.frequency * t) + s.decay / s.frequency * std::sin(s.frequency * t));
}

double SpringAnimation::duration() const
{
    const double distance = std::fabs(from - to);
    if (!(distance > settledDistance))
        return 0;
    const SpringShape s = shape(*this);
    // The displacement never exceeds distance · √(1 + (decay/frequency)²) · e^(−decay·t).
    const double amplitude = distance * std::hypot(1.0, s.decay / s.frequency);
    return std::log(amplitude / settledDistance) / s.decay;
}

} // namespace Vantrell
