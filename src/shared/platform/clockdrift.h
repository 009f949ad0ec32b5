// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

namespace Vantrell {

// How far the wall clock and the monotonic clock moved since the last look.
// The monotonic clock stands still while the machine sleeps and ignores
// changes of the time of day, so the two steps differ after a resume or when
// the clock was set.
class ClockDrift final
{
public:
    struct Steps
    {
        qint64 wallMs = 0;
        qint64 monotonicMs = 0;
    };

    ClockDrift();

    // The steps since the previous call (or since construction).
    Steps take();

private:
    QElapsedTimer m_monotonic;
    qint64 m_lastWallMs = 0;
    qint64 m_lastMonotonicMs = 0;
};

} // namespace Vantrell
