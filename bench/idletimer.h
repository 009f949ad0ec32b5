// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/timer.h"

namespace Vantrell::Bench {

// A timer that never fires: benchmarks drive the code themselves.
class IdleTimer final : public Timer
{
public:
    void start(std::chrono::milliseconds interval) override { m_interval = interval; }
    void stop() override { }
    bool isActive() const override { return false; }
    std::chrono::milliseconds interval() const override { return m_interval; }
    Mode mode() const override { return Mode::repeating; }

private:
    std::chrono::milliseconds m_interval {0};
};

class IdleTimers final : public TimerFactory
{
public:
    std::unique_ptr<Timer> createTimer(Timer::Mode, Timer::Callback) override { return std::make_unique<IdleTimer>(); }
};

} // namespace Vantrell::Bench
