// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>

namespace Vantrell {

// Asks the widget host on `bus` to reload every widget. Fire and forget: the
// call neither waits for an answer nor starts a host that is not running, so
// without a host nothing happens.
void requestWidgetReload(const QDBusConnection &bus = QDBusConnection::sessionBus());

} // namespace Vantrell
