// SPDX-License-Identifier: GPL-3.0-or-later
#include "faketimer.h"

#include <QtGlobal>

#include <algorithm>
#include <vector>

namespace Vantrell::Test {

namespace {
class FakeTimer;
}

struct FakeTimerFactory::State
{
    std::optional<FakeClock> clock;
    std::chrono::milliseconds now {0};
    quint64 nextSequence = 0;
    int fired = 0;
    std::vector<FakeTimer *> timers;
};

namespace {

class FakeTimer final : public Timer
{
public:
    FakeTimer(std::shared_ptr<FakeTimerFactory::State> state, Mode mode, Callback onTimeout)
        : m_state(std::move(state))
        , m_mode(mode)
        , m_onTimeout(std::move(onTimeout))
    {
        m_state->timers.push_back(this);
    }

    ~FakeTimer() override { std::erase(m_state->timers, this); }

    void start(std::chrono::milliseconds interval) override
    {
        m_interval = std::max(interval, std::chrono::milliseconds(0));
        m_due = m_state->now + m_interval;
        m_sequence = m_state->nextSequence++;
        m_active = true;
    }

    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }
    std::chrono::milliseconds interval() const override { return m_interval; }
    Mode mode() const override { return m_mode; }

    std::chrono::milliseconds due() const { return m_due; }
    quint64 sequence() const { return m_sequence; }

    // Called when due; reschedules a repeating timer before running the callback.
    void fire()
    {
        if (m_mode == Mode::singleShot) {
            m_active = false;
        } else {
            m_due += m_interval;
            m_sequence = m_state->nextSequence++;
        }
        ++m_state->fired;
        const Callback callback = m_onTimeout;
        if (callback)
            callback();
    }

private:
    std::shared_ptr<FakeTimerFactory::State> m_state;
    Mode m_mode;
    Callback m_onTimeout;
    std::chrono::milliseconds m_interval {0};
    std::chrono::milliseconds m_due {0};
    quint64 m_sequence = 0;
    bool m_active = false;
};

FakeTimer *nextDue(const FakeTimerFactory::State &state, std::chrono::milliseconds until)
{
    FakeTimer *best = nullptr;
    for (FakeTimer *timer : state.timers) {
        if (!timer->isActive() || timer->due() > until)
            continue;
        if (!best || timer->due() < best->due()
            || (timer->due() == best->due() && timer->sequence() < best->sequence()))
            best = timer;
    }
    return best;
}

} // namespace

FakeTimerFactory::FakeTimerFactory()
    : m_state(std::make_shared<State>())
{ }

FakeTimerFactory::FakeTimerFactory(FakeClock clock)
    : FakeTimerFactory()
{
    m_state->clock = std::move(clock);
}

FakeTimerFactory::~FakeTimerFactory() = default;

std::unique_ptr<Timer> FakeTimerFactory::createTimer(Timer::Mode mode, Timer::Callback onTimeout)
{
    return std::make_unique<FakeTimer>(m_state, mode, std::move(onTimeout));
}

void FakeTimerFactory::advance(std::chrono::milliseconds span)
{
    const auto until = m_state->now + std::max(span, std::chrono::milliseconds(0));
    // More firings at one instant than this means a zero-interval repeating timer.
    constexpr int maxFiringsPerInstant = 10000;
    int firingsAtInstant = 0;
    while (FakeTimer *timer = nextDue(*m_state, until)) {
        const auto step = timer->due() - m_state->now;
        if (step.count() > 0) {
            firingsAtInstant = 0;
            if (m_state->clock)
                m_state->clock->advance(double(step.count()) / 1000.0);
            m_state->now = timer->due();
        } else if (++firingsAtInstant > maxFiringsPerInstant) {
            qFatal("FakeTimerFactory: a repeating timer with a zero interval spins");
        }
        timer->fire();
    }
    if (m_state->clock && until > m_state->now)
        m_state->clock->advance(double((until - m_state->now).count()) / 1000.0);
    m_state->now = until;
}

std::chrono::milliseconds FakeTimerFactory::elapsed() const
{
    return m_state->now;
}

int FakeTimerFactory::timerCount() const
{
    return int(m_state->timers.size());
}

int FakeTimerFactory::activeTimerCount() const
{
    return int(std::count_if(
        m_state->timers.begin(), m_state->timers.end(), [](const FakeTimer *timer) { return timer->isActive(); }));
}

std::optional<std::chrono::milliseconds> FakeTimerFactory::nextTimeout() const
{
    std::optional<std::chrono::milliseconds> next;
    for (const FakeTimer *timer : m_state->timers) {
        if (timer->isActive() && (!next || timer->due() < *next))
            next = timer->due();
    }
    if (next)
        *next -= m_state->now;
    return next;
}

int FakeTimerFactory::firedCount() const
{
    return m_state->fired;
}

} // namespace Vantrell::Test
