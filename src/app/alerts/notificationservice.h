// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/clock.h"
#include "pricealertnotifying.h"

#include <QDBusConnection>
#include <QImage>
#include <QList>
#include <QObject>
#include <QString>

#include <optional>

namespace Vantrell {

class Bundle;

// Delivers price alerts as desktop notifications through the session bus
// (org.freedesktop.Notifications). Texts follow the current language of the
// LocalizationManager. Every D-Bus call is asynchronous; results are only
// logged (category "Notifications"). Main thread only.
class NotificationService final : public QObject, public PriceAlertNotifying
{
    Q_OBJECT

public:
    explicit NotificationService(QDBusConnection bus, Clock now, QObject *parent = nullptr);

    void notify(const Coin &coin, CoinAlertKind kind, BaseCurrency currency, double threshold, double change,
        double usdToTargetRate) override;

    // An image of the application's icon, sent with every notification as the
    // "image-data" hint; for runs where the icon theme lacks the icon named by
    // the application id (from the build tree), which servers would show as a
    // broken icon. Nothing (the default): the icon name alone.
    void setIconImage(const std::optional<QImage> &image) { m_iconImage = image; }

    // The bundle's "app-logo" as such an image, when the icon theme cannot
    // resolve `iconName`; nothing when it can or the bundle has no logo.
    static std::optional<QImage> iconImageUnlessThemed(const QString &iconName, const Bundle &bundle);

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
    std::optional<QImage> m_iconImage;
    // Server ids of the notifications we sent that may still be on screen.
    QList<uint> m_shown;
};

} // namespace Vantrell
