// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "trayhost.h"
#include "trayitem.h"

#include <QDBusConnection>

#include <memory>
#include <optional>

namespace Vantrell {

class Bundle;

struct TrayOptions
{
    QString applicationId;
    QString title = QStringLiteral("Vantrell");
    std::optional<QString> logoPath;
    std::optional<TrayForm> formOverride;
};

// The options of the application's own tray item: the main bundle's
// identifier and "menubar-logo", and the form the user may have chosen
// through VANTRELL_TRAY_FORM (an unknown value is logged and ignored).
TrayOptions applicationTrayOptions(const Bundle &resources);

// Creates and shows the tray item the desktop supports: a StatusNotifierItem
// when a StatusNotifierWatcher runs on `connection`, else an XEmbed tray icon
// when an XEmbed system tray exists, else none; with none, the application has
// no panel presence and should open its window directly.
std::unique_ptr<TrayItem> createTrayItem(
    const TrayOptions &options, const QDBusConnection &connection = QDBusConnection::sessionBus());

} // namespace Vantrell
