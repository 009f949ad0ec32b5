// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/coinmetadata.h"
#include "settings/appsettings.h"
#include "widgetkit/widgetcontent.h"

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <optional>

// Where the desktop overlay goes and what it shows: pure functions in Qt's
// global logical coordinates, where y grows downward and a stored position is
// the window's top-left corner.
namespace Vantrell {

inline constexpr int kOverlayMaxRows = 16;
inline constexpr qreal kOverlayScreenMargin = 24;

// The first 16 coins with their live prices, the newest update time among
// them, and the settings' currency, language and colours.
WidgetEntryContent makeOverlayContent(const QList<Coin> &coins, const AppSettings &settings);

// 364 (400 with large text) wide; high enough for the header and every row
// with prices, else 170.
QSizeF overlaySize(const WidgetEntryContent &content, DesktopOverlayTextSize textSize);

// The window's rectangle for a stored top-left (none: the top-right corner of
// the first screen, 24 in) on `screens` (available geometries, primary
// first): on the screen the wanted rectangle covers most, else the one whose
// centre is nearest, clamped inside it. A window larger than the screen is
// pinned to its left and top edges, so its header stays reachable.
QRectF overlayFrame(
    const std::optional<DesktopOverlayOrigin> &topLeft, const QList<QRectF> &screens, const QSizeF &size);

} // namespace Vantrell
