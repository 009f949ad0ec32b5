// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace Vantrell {

// A value that moves from `from` to `to` like a damped spring released at
// rest at time `start` (seconds on any clock). `response` is the period of the
// undamped spring in seconds, `dampingFraction` below 1 lets it overshoot
// a little. Plain value type; evaluating it has no side effects.
struct SpringAnimation
{
    double from = 0;
    double to = 0;
    double start = 0;
    double response = 0.2;
    double dampingFraction = 0.85;

    // A value at rest.
    static SpringAnimation still(double value) { return SpringAnimation {value, value, 0, 0.2, 0.85}; }

    double valueAt(double time) const;
    // Seconds until the motion stays within half a pixel of `to`: the moment
    // the animation counts as complete and jumps to its end.
    double duration() const;
    bool isFinished(double time) const { return time >= start + duration(); }
};

} // namespace Vantrell
