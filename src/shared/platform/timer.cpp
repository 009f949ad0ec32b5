// SPDX-License-Identifier: GPL-3.0-or-later
#include "timer.h"

#include <QTimer>

#include <algorithm>
#include <atomic>
#include <limits>

namespace Vantrell {

namespace {

std::atomic<int> g_activeTimers {0};

class QtTimer final : public Timer
{
public:
    QtTimer(Mode mode, Callback onTimeout)
        : m_mode(mode)
        , m_onTimeout(std::move(onTimeout))
    {
        m_timer.setSingleShot(mode == Mode::singleShot);
        // Coarse timers may fire up to 5 % late; polling periods are meant as given.
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            countActive();
            // Copied because the callback may destroy this timer.
            const Callback callback = m_onTimeout;
            if (callback)
                callback();
        });
    }

    void start(std::chrono::milliseconds interval) override
    {
        // QTimer takes an int of milliseconds; longer periods are cut to about 24.8 days.
        const auto count
            = std::clamp<std::chrono::milliseconds::rep>(interval.count(), 0, std::numeric_limits<int>::max());
        m_interval = std::chrono::milliseconds(count);
        m_timer.start(m_interval);
        countActive();
    }

    ~QtTimer() override
    {
        if (m_counted)
            --g_activeTimers;
    }

    void stop() override
    {
        m_timer.stop();
        countActive();
    }
    bool isActive() const override { return m_timer.isActive(); }
    std::chrono::milliseconds interval() const override { return m_interval; }
    Mode mode() const override { return m_mode; }

private:
    // Keeps g_activeTimers in step with this timer's state.
    void countActive()
    {
        const bool active = m_timer.isActive();
        if (active != m_counted) {
            g_activeTimers += active ? 1 : -1;
            m_counted = active;
        }
    }

    Mode m_mode;
    bool m_counted = false;
    Callback m_onTimeout;
    std::chrono::milliseconds m_interval {0};
    QTimer m_timer;
};

} // namespace

std::unique_ptr<Timer> QtTimerFactory::createTimer(Timer::Mode mode, Timer::Callback onTimeout)
{
    return std::make_unique<QtTimer>(mode, std::move(onTimeout));
}

int QtTimerFactory::activeTimerCount()
{
    return g_activeTimers;
}

} // namespace Vantrell
