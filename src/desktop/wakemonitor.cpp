// SPDX-License-Identifier: GPL-3.0-or-later
#include "wakemonitor.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

namespace Vantrell {

WakeMonitor::WakeMonitor(QObject *parent)
    : WakeMonitor(QDBusConnection::systemBus(), parent)
{ }

WakeMonitor::WakeMonitor(QDBusConnection system, QObject *parent)
    : QObject(parent)
{
    const bool logind = system.isConnected()
        && system.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.login1")).value()
        && system.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
            SLOT(prepareForSleep(bool)));
    if (logind)
        return;
    m_drift.emplace();
    connect(&m_clockCheck, &QTimer::timeout, this, &WakeMonitor::checkClock);
    m_clockCheck.start(std::chrono::seconds(30));
}

void WakeMonitor::prepareForSleep(bool sleeping)
{
    if (!sleeping)
        Q_EMIT woke();
}

void WakeMonitor::checkClock()
{
    const ClockDrift::Steps steps = m_drift->take();
    if (sleptBetween(steps.wallMs, steps.monotonicMs))
        Q_EMIT woke();
}

} // namespace Vantrell
