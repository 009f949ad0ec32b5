// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakenotificationserver.h"

#include <QDBusContext>
#include <QDBusMessage>

namespace Vantrell::Test {

namespace {
constexpr char kService[] = "org.freedesktop.Notifications";
constexpr char kPath[] = "/org/freedesktop/Notifications";
} // namespace

// The object exported on the bus; its public slots are the interface's methods.
class NotificationsObject final : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    explicit NotificationsObject(FakeNotificationServer &server)
        : m_server(server)
    { }

public Q_SLOTS:
    uint Notify(const QString &appName, uint replacesId, const QString &appIcon, const QString &summary,
        const QString &body, const QStringList &actions, const QVariantMap &hints, int expireTimeout)
    {
        FakeNotificationServer::Notification notification {
            0, appName, replacesId, appIcon, summary, body, actions, hints, expireTimeout};
        if (!m_server.m_notifyError.isEmpty()) {
            m_server.m_notifications.append(notification);
            sendErrorReply(m_server.m_notifyError, QStringLiteral("refused by the test"));
            return 0;
        }
        notification.id = replacesId != 0 ? replacesId : m_server.m_nextId++;
        m_server.m_notifications.append(notification);
        return notification.id;
    }

    QString GetServerInformation(QString &vendor, QString &version, QString &specVersion)
    {
        ++m_server.m_serverInformationRequests;
        vendor = QStringLiteral("Vantrell tests");
        version = QStringLiteral("1.0");
        specVersion = QStringLiteral("1.2");
        return QStringLiteral("fake-notification-server");
    }

    QStringList GetCapabilities()
    {
        return {QStringLiteral("actions"), QStringLiteral("body"), QStringLiteral("sound")};
    }

    void CloseNotification(uint id) { m_server.closeNotification(id, 3); }

Q_SIGNALS:
    void ActionInvoked(uint id, const QString &actionKey);
    void NotificationClosed(uint id, uint reason);

private:
    FakeNotificationServer &m_server;
};

FakeNotificationServer::FakeNotificationServer(QObject *parent)
    : QObject(parent)
    , m_connectionName(QStringLiteral("fake-notification-server-%1").arg(quintptr(this), 0, 16))
{ }

FakeNotificationServer::~FakeNotificationServer()
{
    stop();
}

bool FakeNotificationServer::start()
{
    if (m_connection)
        return true;
    m_connection = QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_connectionName);
    m_exported = new NotificationsObject(*this);
    if (!m_connection->isConnected()
        || !m_connection->registerObject(
            QLatin1String(kPath), m_exported, QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals)
        || !m_connection->registerService(QLatin1String(kService))) {
        stop();
        return false;
    }
    return true;
}

void FakeNotificationServer::stop()
{
    if (m_connection) {
        m_connection->unregisterService(QLatin1String(kService));
        m_connection->unregisterObject(QLatin1String(kPath));
        m_connection.reset();
        QDBusConnection::disconnectFromBus(m_connectionName);
    }
    delete m_exported;
    m_exported = nullptr;
}

void FakeNotificationServer::invokeAction(uint id, const QString &actionKey)
{
    if (m_exported)
        Q_EMIT m_exported->ActionInvoked(id, actionKey);
}

void FakeNotificationServer::closeNotification(uint id, uint reason)
{
    if (m_exported)
        Q_EMIT m_exported->NotificationClosed(id, reason);
}

} // namespace Vantrell::Test

#include "fakenotificationserver.moc"
