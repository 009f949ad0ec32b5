// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace Vantrell {

// A timer that calls its callback on the main thread: once (single-shot) or
// every interval (repeating). Destroying a timer stops it; the callback never
// runs afterwards. A callback may stop, restart or destroy its own timer.
class Timer
{
public:
    enum class Mode { singleShot, repeating };
    using Callback = std::function<void()>;

    virtual ~Timer() = default;

    // (Re)starts the timer; the first timeout comes one interval from now.
    // Negative intervals count as zero. A zero interval on a repeating timer
    // fires on every pass of the event loop, so callers give repeating timers
    // a positive interval.
    virtual void start(std::chrono::milliseconds interval) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    // The interval of the last start().
    virtual std::chrono::milliseconds interval() const = 0;
    virtual Mode mode() const = 0;
};

// Creates timers; the seam through which tests run timed code in virtual time.
class TimerFactory
{
public:
    virtual ~TimerFactory() = default;
    // A stopped timer that calls `onTimeout` on each timeout once started.
    virtual std::unique_ptr<Timer> createTimer(Timer::Mode mode, Timer::Callback onTimeout) = 0;
};

// Timers on the current thread's event loop, precise to the millisecond.
class QtTimerFactory final : public TimerFactory
{
public:
    std::unique_ptr<Timer> createTimer(Timer::Mode mode, Timer::Callback onTimeout) override;

    // How many timers of every QtTimerFactory are running now, in all threads.
    static int activeTimerCount();
};

} // namespace Vantrell
