// SPDX-License-Identifier: GPL-3.0-or-later
#include "clockdrift.h"

#include <QDateTime>

namespace Vantrell {

ClockDrift::ClockDrift()
    : m_lastWallMs(QDateTime::currentMSecsSinceEpoch())
{
    m_monotonic.start();
}

ClockDrift::Steps ClockDrift::take()
{
    const qint64 wall = QDateTime::currentMSecsSinceEpoch();
    const qint64 monotonic = m_monotonic.elapsed();
    const Steps steps {wall - m_lastWallMs, monotonic - m_lastMonotonicMs};
    m_lastWallMs = wall;
    m_lastMonotonicMs = monotonic;
    return steps;
}

} // namespace Vantrell
