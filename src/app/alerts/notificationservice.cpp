// SPDX-License-Identifier: GPL-3.0-or-later
#include "notificationservice.h"

#include "i18n/localizationmanager.h"
#include "platform/bundle.h"
#include "platform/logging.h"
#include "pricealerttext.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QIcon>
#include <QPainter>
#include <QPointer>
#include <QSvgRenderer>
#include <QVariantMap>

namespace Vantrell {

namespace {
// Servers that never report closed notifications must not make the list grow forever.
constexpr qsizetype maxRememberedNotifications = 64;

// The size servers show an icon at; they scale the image themselves.
constexpr int kIconImageSize = 64;

// The "image-data" hint, "(iiibiiay)": width, height, bytes per row, alpha,
// bits per sample, samples per pixel and the pixels as R, G, B, A bytes.
QDBusArgument imageData(const QImage &image)
{
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    QDBusArgument argument;
    argument.beginStructure();
    argument << rgba.width() << rgba.height() << int(rgba.bytesPerLine()) << true << 8 << 4
             << QByteArray(reinterpret_cast<const char *>(rgba.constBits()), rgba.sizeInBytes());
    argument.endStructure();
    return argument;
}

QString describe(const QDBusError &error)
{
    return error.message().isEmpty() ? error.name() : error.message();
}
} // namespace

NotificationService::NotificationService(QDBusConnection bus, Clock now, QObject *parent)
    : QObject(parent)
    , m_bus(std::move(bus))
    , m_now(std::move(now))
{
    const QString service = QLatin1String(serviceName);
    const QString path = QLatin1String(objectPath);
    const QString interface = QLatin1String(interfaceName);
    m_bus.connect(
        service, path, interface, QStringLiteral("ActionInvoked"), this, SLOT(onActionInvoked(uint, QString)));
    m_bus.connect(
        service, path, interface, QStringLiteral("NotificationClosed"), this, SLOT(onNotificationClosed(uint, uint)));
}

void NotificationService::notify(const Coin &coin, CoinAlertKind kind, BaseCurrency currency, double threshold,
    double change, double usdToTargetRate)
{
    const PriceAlertText content = priceAlertText(
        coin, kind, currency, threshold, change, usdToTargetRate, LocalizationManager::shared().bundle());
    const QString identifier = priceAlertIdentifier(coin.id, m_now());
    const QString appId = QStringLiteral(VANTRELL_APP_ID);

    QDBusMessage message = QDBusMessage::createMethodCall(
        QLatin1String(serviceName), QLatin1String(objectPath), QLatin1String(interfaceName), QStringLiteral("Notify"));
    const QStringList actions {QStringLiteral("default"), localizedString(QStringLiteral("notification.action.open"))};
    QVariantMap hints {
        {QStringLiteral("sound-name"), QStringLiteral("message-new-instant")},
        {QStringLiteral("desktop-entry"), appId},
    };
    if (m_iconImage && !m_iconImage->isNull())
        hints.insert(QStringLiteral("image-data"), QVariant::fromValue(imageData(*m_iconImage)));
    // replaces_id 0: every alert is a notification of its own; -1: the server's own timeout.
    message << QStringLiteral("Vantrell") << uint(0) << appId << content.title << content.text << actions << hints
            << int(-1);

    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(message), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, identifier](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        const QDBusPendingReply<uint> reply = *call;
        if (reply.isError()) {
            qCCritical(lcNotifications, "Failed to deliver notification: %s", qUtf8Printable(describe(reply.error())));
            return;
        }
        remember(reply.value());
        qCInfo(lcNotifications, "Delivered %s as notification %u", qUtf8Printable(identifier), reply.value());
    });
}

std::optional<QImage> NotificationService::iconImageUnlessThemed(const QString &iconName, const Bundle &bundle)
{
    if (QIcon::hasThemeIcon(iconName))
        return std::nullopt;
    const std::optional<QString> path = bundle.imagePath(QStringLiteral("app-logo"));
    if (!path)
        return std::nullopt;
    QImage image;
    if (path->endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        QSvgRenderer svg(*path);
        if (!svg.isValid())
            return std::nullopt;
        image = QImage(kIconImageSize, kIconImageSize, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        svg.render(&painter);
    } else {
        image = QImage(*path).scaled(kIconImageSize, kIconImageSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    if (image.isNull())
        return std::nullopt;
    return image;
}

void NotificationService::requestAuthorization()
{
    const QDBusMessage message = QDBusMessage::createMethodCall(QLatin1String(serviceName), QLatin1String(objectPath),
        QLatin1String(interfaceName), QStringLiteral("GetServerInformation"));
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(message), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        const QDBusPendingReply<QString, QString, QString, QString> reply = *call;
        if (reply.isError()) {
            qCCritical(lcNotifications, "Notification permission error: %s", qUtf8Printable(describe(reply.error())));
            return;
        }
        qCInfo(lcNotifications, "Notification server: %s %s (%s), protocol %s", qUtf8Printable(reply.argumentAt<0>()),
            qUtf8Printable(reply.argumentAt<2>()), qUtf8Printable(reply.argumentAt<1>()),
            qUtf8Printable(reply.argumentAt<3>()));
    });
}

void NotificationService::remember(uint id)
{
    m_shown.removeAll(id);
    m_shown.append(id);
    if (m_shown.size() > maxRememberedNotifications)
        m_shown.removeFirst();
}

void NotificationService::onActionInvoked(uint id, const QString &actionKey)
{
    // The signal is broadcast for every application's notifications.
    if (actionKey == QLatin1String("default") && m_shown.contains(id))
        Q_EMIT openPopoverRequested();
}

void NotificationService::onNotificationClosed(uint id, uint reason)
{
    Q_UNUSED(reason)
    m_shown.removeAll(id);
}

} // namespace Vantrell
