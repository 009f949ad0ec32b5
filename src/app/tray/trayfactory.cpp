// SPDX-License-Identifier: GPL-3.0-or-later
#include "trayfactory.h"

#include "platform/bundle.h"
#include "platform/logging.h"
#include "statusnotifieritem.h"
#include "xembedstatusitem.h"

#include <QDBusConnectionInterface>
#include <QSystemTrayIcon>

namespace Vantrell {

TrayOptions applicationTrayOptions(const Bundle &resources)
{
    TrayOptions options;
    options.applicationId = resources.bundleIdentifier();
    if (options.applicationId.isEmpty())
        options.applicationId = QStringLiteral(VANTRELL_APP_ID);
    options.logoPath = resources.imagePath(QStringLiteral("menubar-logo"));
    const QString chosen = qEnvironmentVariable(kTrayFormVariable);
    if (!chosen.isEmpty()) {
        options.formOverride = parseTrayForm(chosen);
        if (!options.formOverride)
            qCWarning(lcTray).nospace().noquote()
                << "Ignoring " << kTrayFormVariable << "=\"" << chosen << "\": use label, image or icon";
    }
    return options;
}

std::unique_ptr<TrayItem> createTrayItem(const TrayOptions &options, const QDBusConnection &connection)
{
    const QDBusConnectionInterface *bus = connection.isConnected() ? connection.interface() : nullptr;
    if (bus && bus->isServiceRegistered(QString::fromLatin1(StatusNotifierItem::kWatcherService))) {
        auto item = std::make_unique<StatusNotifierItem>(connection,
            StatusNotifierItem::Options {
                .applicationId = options.applicationId,
                .title = options.title,
                .logoPath = options.logoPath,
                .formOverride = options.formOverride,
            });
        if (item->start())
            return item;
    }
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        qCInfo(lcTray) << "No status notifier watcher; using the XEmbed system tray";
        auto item = std::make_unique<XEmbedStatusItem>(XEmbedStatusItem::Options {
            .applicationId = options.applicationId,
            .title = options.title,
            .logoPath = options.logoPath,
        });
        item->show();
        return item;
    }
    qCInfo(lcTray) << "No system tray on this desktop";
    return nullptr;
}

} // namespace Vantrell
