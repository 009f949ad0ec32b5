// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/clock.h"
#include "pricealertnotifying.h"

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QString>

namespace Vantrell {

// Delivers price alerts as desktop notifications through the session bus
// (org.freedesktop.Notifications). Texts follow the current language of the
// LocalizationManager. Every D-Bus call is asynchronous; results are only
// logged (category "Notifications"). Main thread only.
class NotificationService final : public QObject, public PriceAlertNotifying
{
    Q_OBJECT

public:
    explicit NotificationService(
        QDBusConnection bus = QDBusConnection::sessionBus(), Clock now = systemClock(), QObject *parent = nullptr);

    void notify(const Coin &coin, CoinAlertKind kind, BaseCurrency currency, double threshold, double change,
        double usdToTargetRate) override;

    // Stands in for asking the user for permission, which Linux desktops do not
    // have: checks that a notification server answers and logs an error when
    // none does. Alerts are handed to the bus either way.
    void requestAuthorization();

    static constexpr const char *serviceName = "org.freedesktop.Notifications";
    static constexpr const char *objectPath = "/org/freedesktop/Notifications";
    static constexpr const char *interfaceName = "org.freedesktop.Notifications";

Q_SIGNALS:
    // The user clicked one of our notifications (its default action).
    void openPopoverRequested();

private Q_SLOTS:
    void onActionInvoked(uint id, const QString &actionKey);
    void onNotificationClosed(uint id, uint reason);

private:
    void remember(uint id);

    QDBusConnection m_bus;
    Clock m_now;
    // Server ids of the notifications we sent that may still be on screen.
    QList<uint> m_shown;
};

} // namespace Vantrell
