// SPDX-License-Identifier: GPL-3.0-or-later
#include "applicationservice.h"

#include "applicationadaptor.h"
#include "commandline.h"
#include "platform/logging.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

#include <algorithm>

namespace Vantrell {

namespace {
const QString interfaceName = QStringLiteral("org.freedesktop.Application");
} // namespace

ApplicationService::ApplicationService(QDBusConnection bus, QString applicationId, QObject *parent)
    : QObject(parent)
    , m_bus(std::move(bus))
    , m_applicationId(std::move(applicationId))
{ }

ApplicationService::~ApplicationService()
{
    if (m_registered) {
        m_bus.unregisterObject(objectPath(m_applicationId));
        m_bus.unregisterService(m_applicationId);
    }
}

QString ApplicationService::objectPath(const QString &applicationId)
{
    QString path = QLatin1Char('/') + applicationId;
    path.replace(QLatin1Char('.'), QLatin1Char('/'));
    path.replace(QLatin1Char('-'), QLatin1Char('_'));
    return path;
}

bool ApplicationService::registerPrimary()
{
    if (!m_bus.isConnected()) {
        qCWarning(lcApp, "No session bus: single instance and deep links are unavailable");
        return true;
    }
    new ApplicationAdaptor(this);
    if (!m_bus.registerObject(objectPath(m_applicationId), this)) {
        qCWarning(lcApp, "Cannot export %s: %s", qUtf8Printable(objectPath(m_applicationId)),
            qUtf8Printable(m_bus.lastError().message()));
    }
    // Do not queue: a second owner must learn at once that it is second.
    const auto reply = m_bus.interface()->registerService(
        m_applicationId, QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered) {
        m_bus.unregisterObject(objectPath(m_applicationId));
        return false;
    }
    m_registered = true;
    return true;
}

void ApplicationService::Activate(const QVariantMap &platformData)
{
    Q_UNUSED(platformData);
    Q_EMIT activateRequested();
}

void ApplicationService::Open(const QStringList &uris, const QVariantMap &platformData)
{
    Q_UNUSED(platformData);
    // Any process on the bus may call this: only known links get through.
    QStringList known;
    QStringList ignored;
    qsizetype ignoredCount = 0;
    for (const QString &uri : uris) {
        if (isKnownDeepLink(uri)) {
            known.append(uri);
            continue;
        }
        ++ignoredCount;
        if (ignored.size() < maxListedIgnored)
            ignored.append(printableArgument(uri.toUtf8()));
    }
    if (ignoredCount > 0)
        qCWarning(lcApp, "Open: %s", qUtf8Printable(ignoredArgumentsMessage(ignoredCount, ignored)));
    if (!known.isEmpty())
        Q_EMIT openRequested(known);
}

void ApplicationService::ActivateAction(
    const QString &actionName, const QVariantList &parameter, const QVariantMap &platformData)
{
    Q_UNUSED(parameter);
    Q_UNUSED(platformData);
    Q_EMIT actionRequested(actionName);
}

bool ApplicationService::forwardToPrimary(const QStringList &urls, int timeoutMs) const
{
    if (!m_bus.isConnected())
        return false;
    QDBusMessage call = urls.isEmpty() ? QDBusMessage::createMethodCall(
                            m_applicationId, objectPath(m_applicationId), interfaceName, QStringLiteral("Activate"))
                                       : QDBusMessage::createMethodCall(m_applicationId, objectPath(m_applicationId),
                                           interfaceName, QStringLiteral("Open"));
    if (urls.isEmpty())
        call << QVariantMap();
    else
        call << urls << QVariantMap();
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, timeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        qCWarning(lcApp, "Cannot reach the running instance: %s", qUtf8Printable(reply.errorMessage()));
        return false;
    }
    return true;
}

bool ApplicationService::containsDeepLink(const QStringList &urls)
{
    return std::any_of(urls.cbegin(), urls.cend(), [](const QString &url) { return isKnownDeepLink(url); });
}

} // namespace Vantrell

#include "applicationservice.moc"
