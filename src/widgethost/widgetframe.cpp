// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgetframe.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace Vantrell {

void WidgetFrame::paint(QPainter &painter, const QRectF &rect, WidgetExtension &extension, const QString &kind,
    WidgetFamily family, const VantrellWidgetEntry &entry, const QPalette &palette, bool translucent)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(rect, cornerRadius, cornerRadius);
    QColor background = palette.color(QPalette::Window);
    if (translucent)
        background.setAlphaF(float(translucentOpacity));
    painter.fillPath(shape, background);
    // A hairline keeps the edge visible on a wallpaper of the same colour.
    QColor edge = palette.color(QPalette::WindowText);
    edge.setAlphaF(0.12f);
    painter.setPen(QPen(edge, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius - 0.5, cornerRadius - 0.5);
    painter.setClipPath(shape);
    extension.paint(painter, rect.adjusted(horizontalPadding, verticalPadding, -horizontalPadding, -verticalPadding),
        kind, family, entry, palette);
    painter.restore();
}

QImage WidgetFrame::render(WidgetExtension &extension, const QString &kind, WidgetFamily family,
    const VantrellWidgetEntry &entry, const QPalette &palette, qreal scale)
{
    const QSize size = widgetFamilySize(family);
    QImage image((QSizeF(size) * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paint(painter, QRectF(QPointF(0, 0), QSizeF(size)), extension, kind, family, entry, palette, false);
    painter.end();
    return image;
}

QPalette WidgetFrame::palette(std::optional<bool> dark)
{
    if (!dark)
        return QGuiApplication::palette();
    QPalette palette;
    const QColor window = *dark ? QColor(0x24, 0x24, 0x26) : QColor(0xF6, 0xF6, 0xF7);
    const QColor text = *dark ? QColor(0xF2, 0xF2, 0xF2) : QColor(0x1C, 0x1C, 0x1E);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::Base, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Highlight, *dark ? QColor(0x40, 0x9C, 0xFF) : QColor(0x0A, 0x6C, 0xE0));
    return palette;
}

QPoint placeWidget(QSize size, QPoint pointer, const QRect &available)
{
    QPoint topLeft(pointer.x() - size.width() / 2, pointer.y() - size.height() / 2);
    if (available.isEmpty())
        return topLeft;
    topLeft.setX(
        std::clamp(topLeft.x(), available.left(), std::max(available.left(), available.right() + 1 - size.width())));
    topLeft.setY(
        std::clamp(topLeft.y(), available.top(), std::max(available.top(), available.bottom() + 1 - size.height())));
    return topLeft;
}

QPoint restoredPosition(QPoint stored, QSize size, const QList<QRect> &screens)
{
    if (screens.isEmpty())
        return stored;
    const QRect frame(stored, size);
    for (const QRect &screen : screens) {
        const QRect visible = frame.intersected(screen);
        if (visible.width() >= size.width() / 4 && visible.height() >= size.height() / 4)
            return stored;
    }
    return placeWidget(size, screens.constFirst().center(), screens.constFirst());
}

} // namespace Vantrell
