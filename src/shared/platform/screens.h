// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QRect>

namespace Vantrell {

// The available geometry of every screen (without panels and docks) in Qt's
// global logical coordinates, the primary screen first.
QList<QRect> availableScreenGeometries();

} // namespace Vantrell
