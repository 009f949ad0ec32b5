// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <optional>

namespace Vantrell::Test {

class NotificationsObject;

// A notification server on the test's private bus, on a connection of its
// own: it owns org.freedesktop.Notifications, records every Notify call,
// answers GetServerInformation and can send ActionInvoked and
// NotificationClosed as a desktop does when the user clicks or dismisses.
class FakeNotificationServer final : public QObject
{
    Q_OBJECT

public:
    struct Notification
    {
        uint id = 0;
        QString appName;
        uint replacesId = 0;
        QString appIcon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        int expireTimeout = 0;
    };

    explicit FakeNotificationServer(QObject *parent = nullptr);
    ~FakeNotificationServer() override;

    // Connects to the session bus and takes the server name; false when refused.
    bool start();
    // Leaves the bus (the name goes with it).
    void stop();

    // Every Notify call received, oldest first.
    QList<Notification> notifications() const { return m_notifications; }
    int serverInformationRequests() const { return m_serverInformationRequests; }

    // Answers the next Notify calls with this D-Bus error instead of an id; empty to stop.
    void setNotifyError(const QString &errorName) { m_notifyError = errorName; }

    // What the desktop sends when the user clicks an action or a notification goes.
    void invokeAction(uint id, const QString &actionKey);
    void closeNotification(uint id, uint reason = 2);

private:
    friend class NotificationsObject;

    QString m_connectionName;
    std::optional<QDBusConnection> m_connection;
    NotificationsObject *m_exported = nullptr;
    QList<Notification> m_notifications;
    QString m_notifyError;
    int m_serverInformationRequests = 0;
    uint m_nextId = 1;
};

} // namespace Vantrell::Test
