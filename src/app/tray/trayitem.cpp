// SPDX-License-Identifier: GPL-3.0-or-later
#include "trayitem.h"

#include <QCoreApplication>
#include <QEvent>

namespace Vantrell {

TrayItem::TrayItem(QObject *parent)
    : QObject(parent)
{
    // The application learns of a new desktop theme through this event only.
    if (QCoreApplication *application = QCoreApplication::instance())
        application->installEventFilter(this);
}

bool TrayItem::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == QCoreApplication::instance() && event->type() == QEvent::ApplicationPaletteChange)
        applicationPaletteChanged();
    return QObject::eventFilter(watched, event);
}

} // namespace Vantrell
