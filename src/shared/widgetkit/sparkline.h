// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QList>
#include <QPolygonF>
#include <QRectF>

#include <optional>

class QPainter;

namespace Vantrell {

struct PriceHistory24h;

// Where a series of prices goes in a rectangle: one polyline per run of
// values without a gap (NaN), a dot for a value that stands alone between
// gaps, the highest value at the top and the lowest at the bottom (a flat
// series in the middle). The slots share the width evenly, the first at the
// left edge and the last at the right. Pure.
struct SparklineGeometry
{
    QList<QPolygonF> lines;
    QList<QPointF> dots;
    // Of the values that are prices; none when there is none.
    std::optional<qsizetype> highIndex;
    std::optional<qsizetype> lowIndex;

    static SparklineGeometry of(const QList<double> &values, const QRectF &rect);
    // The x of slot `index` of `count` in `rect`.
    static qreal slotX(qsizetype index, qsizetype count, const QRectF &rect);
    // The slot nearest to `x`, clamped to the series.
    static qsizetype slotAt(qreal x, qsizetype count, const QRectF &rect);
};

// Draws the series as a line of `color` in `rect` (with a faint fill under it
// when `fill` is set); nothing for an empty series.
void paintSparkline(
    QPainter &painter, const PriceHistory24h &history, const QRectF &rect, const QColor &color, bool fill = false);

} // namespace Vantrell
