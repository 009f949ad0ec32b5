// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/clockdrift.h"

#include <QObject>

class QSocketNotifier;

namespace Vantrell {

// Tells when the wall clock jumps against the monotonic clock by more than a
// minute: after a resume from suspend or when the clock is set. The kernel
// wakes us only then (a timerfd cancelled on clock changes), so an idle host
// does not poll the clock.
class WallClockWatcher final : public QObject
{
    Q_OBJECT

public:
    explicit WallClockWatcher(QObject *parent = nullptr);
    ~WallClockWatcher() override;

Q_SIGNALS:
    void jumped();

private:
    bool arm();
    void clockChanged();

    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    ClockDrift m_drift;
};

} // namespace Vantrell
