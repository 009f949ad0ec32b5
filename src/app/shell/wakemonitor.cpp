// SPDX-License-Identifier: GPL-3.0-or-later
#include "wakemonitor.h"

#include <QDateTime>
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
    m_monotonic.start();
    m_lastWallMs = QDateTime::currentMSecsSinceEpoch();
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
    const qint64 wall = QDateTime::currentMSecsSinceEpoch();
    const qint64 monotonic = m_monotonic.elapsed();
    const bool slept = sleptBetween(wall - m_lastWallMs, monotonic - m_lastMonotonicMs);
    m_lastWallMs = wall;
    m_lastMonotonicMs = monotonic;
    if (slept)
        Q_EMIT woke();
}

} // namespace Vantrell
