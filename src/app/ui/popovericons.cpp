// SPDX-License-Identifier: GPL-3.0-or-later
#include "popovericons.h"

#include <QFont>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QStringList>
#include <QTransform>

#include <cmath>

namespace Vantrell {

namespace {

// Only symbolic icons: they are single-coloured shapes, so tinting them keeps
// them legible on light and dark popovers alike. Full-colour theme icons would
// clash with the rest of the popover.
QStringList themeNames(PopoverIcon icon)
{
    switch (icon) {
    case PopoverIcon::settings:
        return {QStringLiteral("emblem-system-symbolic"), QStringLiteral("preferences-system-symbolic")};
    case PopoverIcon::quit:
        return {QStringLiteral("system-shutdown-symbolic"), QStringLiteral("application-exit-symbolic")};
    case PopoverIcon::balancesShown:
        return {QStringLiteral("view-reveal-symbolic")};
    case PopoverIcon::balancesHidden:
        return {QStringLiteral("view-conceal-symbolic")};
    case PopoverIcon::updateAvailable:
    case PopoverIcon::coin:
    case PopoverIcon::warning:
        // No theme has these in the shape we want (a theme's warning sign is full-colour).
        return {};
    }
    return {};
}

QPainterPath gearPath(const QRectF &rect)
{
    const QPointF centre = rect.center();
    const qreal outer = std::min(rect.width(), rect.height()) / 2.0;
    QPainterPath gear;
    gear.addEllipse(centre, outer * 0.72, outer * 0.72);
    constexpr int teeth = 8;
    const qreal toothWidth = outer * 0.36;
    for (int i = 0; i < teeth; ++i) {
        QPainterPath tooth;
        tooth.addRoundedRect(QRectF(-toothWidth / 2, -outer, toothWidth, outer * 0.5), outer * 0.08, outer * 0.08);
        QTransform transform;
        transform.translate(centre.x(), centre.y());
        transform.rotate(360.0 / teeth * i);
        gear = gear.united(transform.map(tooth));
    }
    QPainterPath hole;
    hole.addEllipse(centre, outer * 0.3, outer * 0.3);
    return gear.subtracted(hole);
}

void drawPower(QPainter &painter, const QRectF &rect, const QColor &color)
{
    const qreal side = std::min(rect.width(), rect.height());
    const QPointF centre = rect.center();
    const qreal pen = side * 0.11;
    painter.setPen(QPen(color, pen, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    const qreal radius = side / 2.0 - pen / 2.0 - side * 0.02;
    const QRectF circle(centre.x() - radius, centre.y() - radius + side * 0.03, radius * 2, radius * 2);
    // Angles in 1/16 degree, counter-clockwise from three o'clock; the gap is at the top.
    painter.drawArc(circle, (90 + 40) * 16, (360 - 80) * 16);
    painter.drawLine(QPointF(centre.x(), rect.top() + pen / 2.0), QPointF(centre.x(), centre.y()));
}

QPainterPath downArrowCircle(const QRectF &rect)
{
    const qreal side = std::min(rect.width(), rect.height());
    const QPointF centre = rect.center();
    QPainterPath circle;
    circle.addEllipse(centre, side / 2.0, side / 2.0);

    QPainterPath arrow;
    arrow.moveTo(centre.x(), centre.y() - side * 0.26);
    arrow.lineTo(centre.x(), centre.y() + side * 0.24);
    arrow.moveTo(centre.x() - side * 0.2, centre.y() + side * 0.04);
    arrow.lineTo(centre.x(), centre.y() + side * 0.24);
    arrow.lineTo(centre.x() + side * 0.2, centre.y() + side * 0.04);
    QPainterPathStroker stroker;
    stroker.setWidth(side * 0.12);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return circle.subtracted(stroker.createStroke(arrow));
}

void drawCoin(QPainter &painter, const QRectF &rect, const QColor &color)
{
    const qreal side = std::min(rect.width(), rect.height());
    const QPointF centre = rect.center();
    const qreal pen = side * 0.065;
    painter.setPen(QPen(color, pen));
    painter.setBrush(Qt::NoBrush);
    const qreal radius = side / 2.0 - pen / 2.0;
    painter.drawEllipse(centre, radius, radius);

    // The bitcoin sign: a bold B with two short bars through its top and bottom.
    // Drawn from a B outline because common fonts lack U+20BF.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(qMax(1, qRound(side * 0.5)));
    QPainterPath letter;
    letter.addText(0, 0, font, QStringLiteral("B"));
    const QRectF bounds = letter.boundingRect();
    letter.translate(centre - bounds.center());
    const QRectF placed = letter.boundingRect();
    QPainterPath sign = letter;
    const qreal barWidth = side * 0.06;
    const qreal barLength = side * 0.09;
    for (const qreal x : {placed.left() + placed.width() * 0.3, placed.left() + placed.width() * 0.6}) {
        QPainterPath bar;
        bar.addRect(QRectF(x - barWidth / 2, placed.top() - barLength, barWidth, placed.height() + 2 * barLength));
        sign = sign.united(bar);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPath(sign);
}

QPainterPath warningTriangle(const QRectF &rect)
{
    const qreal side = std::min(rect.width(), rect.height());
    const QPointF centre = rect.center();
    const qreal height = side * 0.88;
    const qreal top = centre.y() - height / 2.0;
    QPainterPath outline;
    outline.moveTo(centre.x(), top);
    outline.lineTo(centre.x() + side / 2.0, top + height);
    outline.lineTo(centre.x() - side / 2.0, top + height);
    outline.closeSubpath();
    QPainterPathStroker rounding;
    rounding.setWidth(side * 0.1);
    rounding.setJoinStyle(Qt::RoundJoin);
    QPainterPath triangle = outline.united(rounding.createStroke(outline));

    QPainterPath mark;
    const qreal barWidth = side * 0.12;
    mark.addRoundedRect(
        QRectF(centre.x() - barWidth / 2, top + height * 0.32, barWidth, height * 0.36), barWidth / 2, barWidth / 2);
    mark.addEllipse(QPointF(centre.x(), top + height * 0.82), barWidth * 0.62, barWidth * 0.62);
    return triangle.subtracted(mark);
}

// An eye: an almond outline around a round pupil, struck through when `struck`.
void drawEye(QPainter &painter, const QRectF &rect, const QColor &color, bool struck)
{
    const qreal side = std::min(rect.width(), rect.height());
    const QPointF centre = rect.center();
    const qreal half = side * 0.46;
    const qreal lid = side * 0.34;
    QPainterPath outline;
    outline.moveTo(centre.x() - half, centre.y());
    outline.quadTo(centre.x(), centre.y() - lid * 1.6, centre.x() + half, centre.y());
    outline.quadTo(centre.x(), centre.y() + lid * 1.6, centre.x() - half, centre.y());
    QPen pen(color, side * 0.09);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(outline);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(centre, side * 0.14, side * 0.14);
    if (struck) {
        painter.setPen(pen);
        painter.drawLine(QPointF(centre.x() - half * 0.8, centre.y() + half * 0.8),
            QPointF(centre.x() + half * 0.8, centre.y() - half * 0.8));
    }
}

} // namespace

void drawPopoverIcon(QPainter &painter, PopoverIcon icon, const QRectF &rect, const QColor &color)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    switch (icon) {
    case PopoverIcon::settings:
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawPath(gearPath(rect));
        break;
    case PopoverIcon::quit:
        drawPower(painter, rect, color);
        break;
    case PopoverIcon::updateAvailable:
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawPath(downArrowCircle(rect));
        break;
    case PopoverIcon::coin:
        drawCoin(painter, rect, color);
        break;
    case PopoverIcon::warning:
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawPath(warningTriangle(rect));
        break;
    case PopoverIcon::balancesShown:
    case PopoverIcon::balancesHidden:
        drawEye(painter, rect, color, icon == PopoverIcon::balancesHidden);
        break;
    }
    painter.restore();
}

QPixmap popoverIconPixmap(PopoverIcon icon, int size, const QColor &color, qreal devicePixelRatio)
{
    const QSize logical(size, size);
    for (const QString &name : themeNames(icon)) {
        if (!QIcon::hasThemeIcon(name))
            continue;
        QPixmap pixmap = QIcon::fromTheme(name).pixmap(logical, devicePixelRatio);
        if (pixmap.isNull())
            continue;
        QPainter painter(&pixmap);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(QRect(QPoint(0, 0), logical), color);
        return pixmap;
    }

    QPixmap pixmap(logical * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    drawPopoverIcon(painter, icon, QRectF(QPointF(0, 0), QSizeF(logical)), color);
    return pixmap;
}

} // namespace Vantrell
