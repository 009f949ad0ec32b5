// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/timer.h"

#include <QtGlobal>

#include <chrono>
#include <functional>
#include <memory>

namespace Vantrell {

// Turns bursts of "reload everything" requests into rounds: a request waits a
// short moment for more to join it, then one round runs; requests that
// arrive while a round runs cost exactly one more round after it. The owner
// starts the round in `startRound` and reports its end with roundFinished().
class ReloadCoalescer final
{
public:
    static constexpr std::chrono::milliseconds gatherTime {250};

    enum class State { idle, gathering, running };

    ReloadCoalescer(TimerFactory &timers, std::function<void()> startRound);

    void request();
    void roundFinished();

    State state() const { return m_state; }
    bool hasFollowUp() const { return m_followUp; }

private:
    void gathered();

    std::function<void()> m_startRound;
    std::unique_ptr<Timer> m_timer;
    State m_state = State::idle;
    bool m_followUp = false;
};

// Whether the wall clock moved `wallMs` while the monotonic clock moved
// `monotonicMs` means a jump worth reloading for: a resume from suspend (the
// monotonic clock stands still meanwhile) or the clock set by more than a
// minute either way.
inline bool isWallClockJump(qint64 wallMs, qint64 monotonicMs)
{
    const qint64 drift = wallMs - monotonicMs;
    return drift > 60'000 || drift < -60'000;
}

} // namespace Vantrell
