// SPDX-License-Identifier: GPL-3.0-or-later
#include "sparkline.h"

#include "market/coinmetadata.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace Vantrell {

qreal SparklineGeometry::slotX(qsizetype index, qsizetype count, const QRectF &rect)
{
    if (count < 2)
        return rect.right();
    return rect.left() + rect.width() * qreal(index) / qreal(count - 1);
}

qsizetype SparklineGeometry::slotAt(qreal x, qsizetype count, const QRectF &rect)
{
    if (count < 2 || rect.width() <= 0)
        return std::max<qsizetype>(count - 1, 0);
    const qreal position = std::round((x - rect.left()) / rect.width() * qreal(count - 1));
    return qsizetype(std::clamp<qreal>(position, 0, qreal(count - 1)));
}

SparklineGeometry SparklineGeometry::of(const QList<double> &values, const QRectF &rect)
{
    SparklineGeometry geometry;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (!std::isfinite(values.at(i)))
            continue;
        if (!geometry.highIndex || values.at(i) > values.at(*geometry.highIndex))
            geometry.highIndex = i;
        if (!geometry.lowIndex || values.at(i) < values.at(*geometry.lowIndex))
            geometry.lowIndex = i;
    }
    if (!geometry.highIndex)
        return geometry;
    const double high = values.at(*geometry.highIndex);
    const double low = values.at(*geometry.lowIndex);
    const auto yOf = [&](double value) {
        if (high <= low)
            return rect.center().y();
        return rect.bottom() - rect.height() * (value - low) / (high - low);
    };
    QPolygonF run;
    const auto endRun = [&geometry, &run] {
        if (run.size() == 1)
            geometry.dots.append(run.first());
        else if (run.size() > 1)
            geometry.lines.append(run);
        run.clear();
    };
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (!std::isfinite(values.at(i))) {
            endRun();
            continue;
        }
        run.append(QPointF(slotX(i, values.size(), rect), yOf(values.at(i))));
    }
    endRun();
    return geometry;
}

void paintSparkline(
    QPainter &painter, const PriceHistory24h &history, const QRectF &rect, const QColor &color, bool fill)
{
    const SparklineGeometry geometry = SparklineGeometry::of(history.values, rect);
    if (geometry.lines.isEmpty() && geometry.dots.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (fill) {
        QColor under = color;
        under.setAlphaF(0.14f);
        for (const QPolygonF &line : geometry.lines) {
            QPainterPath area;
            area.moveTo(line.first().x(), rect.bottom());
            for (const QPointF &point : line)
                area.lineTo(point);
            area.lineTo(line.last().x(), rect.bottom());
            area.closeSubpath();
            painter.fillPath(area, under);
        }
    }
    QPen pen(color, 1.5);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    for (const QPolygonF &line : geometry.lines)
        painter.drawPolyline(line);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    for (const QPointF &dot : geometry.dots)
        painter.drawEllipse(dot, 1.25, 1.25);
    painter.restore();
}

} // namespace Vantrell
