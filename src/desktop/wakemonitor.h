// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/clockdrift.h"

#include <QDBusConnection>
#include <QObject>
#include <QTimer>

#include <optional>

namespace Vantrell {

// Tells when the computer wakes from sleep: from logind's PrepareForSleep(false)
// on the system bus where there is one, otherwise from the wall clock jumping
// ahead of the monotonic clock (which stands still during sleep) by more than
// a minute.
class WakeMonitor final : public QObject
{
    Q_OBJECT

public:
    // Listens on `systemBus` (the system bus unless a test gives another).
    explicit WakeMonitor(QObject *parent = nullptr);
    explicit WakeMonitor(QDBusConnection systemBus, QObject *parent = nullptr);

    // Whether a wall-clock step of `wallMs` over a monotonic step of
    // `monotonicMs` means the machine slept in between.
    static bool sleptBetween(qint64 wallMs, qint64 monotonicMs) { return wallMs - monotonicMs > 60'000; }

Q_SIGNALS:
    void woke();

private Q_SLOTS:
    void prepareForSleep(bool sleeping);

private:
    void checkClock();

    QTimer m_clockCheck;
    std::optional<ClockDrift> m_drift; // only without logind
};

} // namespace Vantrell
