// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgetreload.h"

#include "widgetkit/widgethostbus.h"

#include <QDBusMessage>

namespace Vantrell {

void requestWidgetReload(const QDBusConnection &bus)
{
    QDBusMessage call = QDBusMessage::createMethodCall(WidgetHostBus::service(), WidgetHostBus::path(),
        WidgetHostBus::interface(), WidgetHostBus::reloadAllTimelines());
    // The widgets are optional: a reload must never launch the host.
    call.setAutoStartService(false);
    QDBusConnection(bus).send(call);
}

} // namespace Vantrell
