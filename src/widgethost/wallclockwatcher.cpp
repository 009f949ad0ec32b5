// SPDX-License-Identifier: GPL-3.0-or-later
#include "wallclockwatcher.h"

#include "platform/logging.h"
#include "reloadcoalescer.h"

#include <QSocketNotifier>

#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace Vantrell {

WallClockWatcher::WallClockWatcher(QObject *parent)
    : QObject(parent)
{
    m_fd = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd < 0 || !arm()) {
        qCWarning(lcWidget, "Clock changes go unnoticed: no timerfd (errno %d)", errno);
        return;
    }
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &WallClockWatcher::clockChanged);
}

WallClockWatcher::~WallClockWatcher()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool WallClockWatcher::arm()
{
    // An absolute expiry that never comes: only a change of the clock (a
    // settimeofday or a resume) ends the wait, with ECANCELED.
    itimerspec expiry {};
    expiry.it_value.tv_sec = INT32_MAX;
    return timerfd_settime(m_fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &expiry, nullptr) == 0;
}

void WallClockWatcher::clockChanged()
{
    std::uint64_t expirations = 0;
    while (::read(m_fd, &expirations, sizeof expirations) > 0) { }
    arm();
    const ClockDrift::Steps steps = m_drift.take();
    if (isWallClockJump(steps.wallMs, steps.monotonicMs))
        Q_EMIT jumped();
}

} // namespace Vantrell
