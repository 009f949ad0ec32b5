// SPDX-License-Identifier: GPL-3.0-or-later
#include "reloadcoalescer.h"

#include <utility>

namespace Vantrell {

ReloadCoalescer::ReloadCoalescer(TimerFactory &timers, std::function<void()> startRound)
    : m_startRound(std::move(startRound))
    , m_timer(timers.createTimer(Timer::Mode::singleShot, [this] { gathered(); }))
{ }

void ReloadCoalescer::request()
{
    switch (m_state) {
    case State::idle:
        m_state = State::gathering;
        m_timer->start(gatherTime);
        break;
    case State::gathering:
        break;
    case State::running:
        m_followUp = true;
        break;
    }
}

void ReloadCoalescer::gathered()
{
    if (m_state != State::gathering)
        return;
    m_state = State::running;
    m_startRound();
}

void ReloadCoalescer::roundFinished()
{
    if (m_state != State::running)
        return;
    m_state = State::idle;
    if (std::exchange(m_followUp, false))
        request();
}

} // namespace Vantrell
