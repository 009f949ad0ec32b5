// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fakeclock.h"
#include "platform/timer.h"

#include <chrono>
#include <memory>
#include <optional>

namespace Vantrell::Test {

// Timers in virtual time. Nothing fires until advance() is called; advance()
// then fires every timer that falls due within the span, earliest first (ties
// in the order they were scheduled, as Qt does; a repeating timer is
// rescheduled as it fires), and moves a FakeClock along when one is attached,
// so that a callback sees the time at which it is due.
class FakeTimerFactory final : public TimerFactory
{
public:
    FakeTimerFactory();
    // Keeps `clock` (and every copy of it) in step with the virtual time.
    explicit FakeTimerFactory(FakeClock clock);
    ~FakeTimerFactory() override;

    std::unique_ptr<Timer> createTimer(Timer::Mode mode, Timer::Callback onTimeout) override;

    // Runs virtual time forward. A repeating timer with a zero interval would
    // fire forever; that fails the test instead.
    void advance(std::chrono::milliseconds span);
    // Virtual time since the factory was made.
    std::chrono::milliseconds elapsed() const;

    // Timers created by this factory and still alive / running.
    int timerCount() const;
    int activeTimerCount() const;
    // The earliest due time among running timers, relative to now.
    std::optional<std::chrono::milliseconds> nextTimeout() const;
    // Number of callbacks run so far.
    int firedCount() const;

    struct State;

private:
    std::shared_ptr<State> m_state;
};

} // namespace Vantrell::Test
