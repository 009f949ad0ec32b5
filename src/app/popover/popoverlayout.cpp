// SPDX-License-Identifier: GPL-3.0-or-later
#include "popoverlayout.h"

#include <algorithm>
#include <limits>

namespace Vantrell {

namespace {

// Keeps [start, start + length) inside [low, high) less the margin; the low end
// wins when the span does not fit.
int clampSpan(int start, int length, int low, int high)
{
    const int margin = PopoverMetrics::screenMargin;
    start = std::min(start, high - margin - length);
    return std::max(start, low + margin);
}

qint64 distanceSquared(QPoint point, const QRect &rect)
{
    const qint64 dx
        = point.x() < rect.left() ? rect.left() - point.x() : (point.x() > rect.right() ? point.x() - rect.right() : 0);
    const qint64 dy
        = point.y() < rect.top() ? rect.top() - point.y() : (point.y() > rect.bottom() ? point.y() - rect.bottom() : 0);
    return dx * dx + dy * dy;
}

} // namespace

QSize popoverSize(int coinCount, int holdingsBlockHeight, int openChartHeight)
{
    const int rows = std::clamp(coinCount, PopoverMetrics::minimumVisibleRows, PopoverMetrics::maximumVisibleRows);
    const int shownRows = std::clamp(coinCount, 0, PopoverMetrics::maximumVisibleRows);
    const int list = std::max(
        PopoverMetrics::rowHeight * rows, PopoverMetrics::rowHeight * shownRows + std::max(0, openChartHeight));
    return {PopoverMetrics::width,
        PopoverMetrics::headerHeight + PopoverMetrics::footerHeight + list + holdingsBlockHeight};
}

QMargins popoverShadowMargins()
{
    const int radius = PopoverMetrics::shadowRadius;
    const int offset = PopoverMetrics::shadowOffsetY;
    return {radius, std::max(0, radius - offset), radius, radius + offset};
}

QPoint popoverPlacement(QPoint anchor, QSize size, const QRect &screenGeometry, const QRect &availableGeometry)
{
    const QRect &area = availableGeometry;
    const int margin = PopoverMetrics::screenMargin;
    // Right and bottom edges as exclusive coordinates.
    const int areaRight = area.x() + area.width();
    const int areaBottom = area.y() + area.height();

    int x = anchor.x() - size.width() / 2;
    int y = anchor.y() - size.height() / 2;
    if (anchor.y() < area.top()) {
        y = area.top() + margin;
    } else if (anchor.y() >= areaBottom) {
        y = areaBottom - margin - size.height();
    } else if (anchor.x() < area.left()) {
        x = area.left() + margin;
    } else if (anchor.x() >= areaRight) {
        x = areaRight - margin - size.width();
    } else if (anchor.y() < screenGeometry.center().y()) {
        y = anchor.y() + margin;
    } else {
        y = anchor.y() - margin - size.height();
    }

    return {clampSpan(x, size.width(), area.left(), areaRight), clampSpan(y, size.height(), area.top(), areaBottom)};
}

int screenIndexForPoint(QPoint point, const QList<QRect> &screenGeometries)
{
    int best = -1;
    qint64 bestDistance = std::numeric_limits<qint64>::max();
    for (int i = 0; i < screenGeometries.size(); ++i) {
        const qint64 distance = distanceSquared(point, screenGeometries.at(i));
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

} // namespace Vantrell
