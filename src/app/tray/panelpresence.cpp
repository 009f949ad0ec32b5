// SPDX-License-Identifier: GPL-3.0-or-later
#include "panelpresence.h"

#include "platform/logging.h"
#include "platform/timer.h"

#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>

namespace Vantrell {

TrayPresence nextTrayPresence(TrayPresence current, FrontEndEvent event)
{
    switch (event) {
    case FrontEndEvent::appeared:
        return TrayPresence::withdrawn;
    case FrontEndEvent::vanished:
        return current == TrayPresence::shown ? TrayPresence::shown : TrayPresence::returning;
    case FrontEndEvent::graceOver:
        return current == TrayPresence::returning ? TrayPresence::shown : current;
    }
    return current;
}

PanelPresence::PanelPresence(const QDBusConnection &bus, TimerFactory &timers, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
{
    m_grace = timers.createTimer(Timer::Mode::singleShot, [this] { handle(FrontEndEvent::graceOver); });
    if (!m_bus.isConnected())
        return;
    const QString service = QString::fromLatin1(kPanelFrontEndService);
    m_watcher = std::make_unique<QDBusServiceWatcher>(service, m_bus, QDBusServiceWatcher::WatchForOwnerChange);
    connect(m_watcher.get(), &QDBusServiceWatcher::serviceOwnerChanged, this,
        [this](const QString &, const QString &, const QString &newOwner) {
            handle(newOwner.isEmpty() ? FrontEndEvent::vanished : FrontEndEvent::appeared);
        });
    // A front end that was there before us.
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("NameHasOwner"));
    call << service;
    auto *pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, pending] {
        pending->deleteLater();
        const QDBusPendingReply<bool> reply = *pending;
        if (!reply.isError() && reply.value() && m_presence == TrayPresence::shown)
            handle(FrontEndEvent::appeared);
    });
}

PanelPresence::~PanelPresence() = default;

void PanelPresence::handle(FrontEndEvent event)
{
    const bool wasWanted = trayItemWanted();
    const TrayPresence next = nextTrayPresence(m_presence, event);
    if (next == TrayPresence::returning && m_presence != TrayPresence::returning)
        m_grace->start(gracePeriod);
    else if (next != TrayPresence::returning)
        m_grace->stop();
    m_presence = next;
    if (trayItemWanted() != wasWanted) {
        qCInfo(lcTray) << (trayItemWanted() ? "The panel front end went; showing the status item again"
                                            : "A panel front end shows the price; withdrawing the status item");
        Q_EMIT trayItemWantedChanged(trayItemWanted());
    }
}

} // namespace Vantrell
