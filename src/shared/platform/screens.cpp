// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens.h"

#include <QGuiApplication>
#include <QScreen>

namespace Vantrell {

QList<QRect> availableScreenGeometries()
{
    QList<QRect> geometries;
    QScreen *primary = QGuiApplication::primaryScreen();
    if (primary)
        geometries.append(primary->availableGeometry());
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (QScreen *screen : screens) {
        if (screen != primary)
            geometries.append(screen->availableGeometry());
    }
    return geometries;
}

} // namespace Vantrell
