// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgetkit/widgetextension.h"

#include <QImage>
#include <QList>
#include <QPalette>
#include <QPoint>
#include <QRect>
#include <QSize>

class QPainter;

namespace Vantrell {

// How the host draws a widget around what the plug-in paints.
struct WidgetFrame
{
    static constexpr qreal cornerRadius = 20;
    // Inside the background: 16 at the sides, 12 above and below, which the
    // four 30-pixel rows of a medium list need.
    static constexpr qreal horizontalPadding = 16;
    static constexpr qreal verticalPadding = 12;
    // The background's opacity where a compositor blends it with the desktop.
    static constexpr qreal translucentOpacity = 0.88;

    // The rounded background in the palette's window colour (translucent or
    // opaque), then the kind's view inside the padding.
    static void paint(QPainter &painter, const QRectF &rect, WidgetExtension &extension, const QString &kind,
        WidgetFamily family, const VantrellWidgetEntry &entry, const QPalette &palette, bool translucent);

    // One widget drawn into an image of its family's size times `scale`,
    // transparent outside the rounded corners.
    static QImage render(WidgetExtension &extension, const QString &kind, WidgetFamily family,
        const VantrellWidgetEntry &entry, const QPalette &palette, qreal scale);

    // The palettes the host draws with: the desktop's, or a fixed light or dark one.
    static QPalette palette(std::optional<bool> dark);
};

// Where a new widget of `size` goes for a pointer at `pointer`: centred on
// it, moved inside `available` (the screen's free area) as far as it fits.
QPoint placeWidget(QSize size, QPoint pointer, const QRect &available);

// Where a stored widget shows: at `stored` while a good part of it (a
// quarter of its width and height) lies on one of `screens`, else placed
// anew in the middle of the first screen, so that a widget of a screen that is
// gone stays reachable.
QPoint restoredPosition(QPoint stored, QSize size, const QList<QRect> &screens);

} // namespace Vantrell
