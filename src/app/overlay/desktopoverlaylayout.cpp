// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktopoverlaylayout.h"

#include "widgetkit/widgetsnapshot.h"
#include "widgetkit/widgetviews.h"

#include <algorithm>
#include <cmath>

namespace Vantrell {

namespace {
// The list's padding on all four sides.
constexpr qreal kPadding = 14;
constexpr qreal kEmptyHeight = 170;

qreal boostFor(DesktopOverlayTextSize textSize)
{
    return textSize == DesktopOverlayTextSize::large ? 2 : 0;
}
} // namespace

WidgetEntryContent makeOverlayContent(const QList<Coin> &coins, const AppSettings &settings)
{
    const ChangeColorHexes colors = changeColorHexes(settings);
    WidgetEntryContent content;
    content.currency = settings.baseCurrency;
    content.language = settings.language;
    content.colorByChange = settings.priceColorEnabled;
    content.upColorHex = colors.up;
    content.downColorHex = colors.down;
    content.showCharts = settings.show24hCharts && settings.desktopOverlayShowsCharts;
    for (const Coin &coin : coins.mid(0, kOverlayMaxRows)) {
        std::optional<QString> logo;
        if (!coin.logoAssetName.isEmpty())
            logo = coin.logoAssetName;
        content.rows.append({coin.id, coin.symbol, coin.name, logo, coin.status == CoinStatus::active,
            coin.currentPrice, coin.priceChange24hPercent, content.showCharts ? coin.history24h : PriceHistory24h()});
        if (coin.lastUpdated && (!content.updatedAt || *coin.lastUpdated > *content.updatedAt))
            content.updatedAt = coin.lastUpdated;
    }
    // The overlay shows the time to the minute: a poll that moved no price
    // leaves the content as it was, and the overlay is not drawn again.
    if (content.updatedAt) {
        const qint64 seconds = content.updatedAt->toSecsSinceEpoch();
        content.updatedAt = QDateTime::fromSecsSinceEpoch(seconds - seconds % 60, Qt::UTC);
    }
    return content;
}

QSizeF overlaySize(const WidgetEntryContent &content, DesktopOverlayTextSize textSize)
{
    const bool large = textSize == DesktopOverlayTextSize::large;
    const qreal width = large ? 400 : 364;
    if (!content.hasPrices() || content.rows.isEmpty())
        return {width, kEmptyHeight};
    return {width, 2 * kPadding + WidgetListLayout::height(int(content.rows.size()), true, boostFor(textSize))};
}

QRectF overlayFrame(
    const std::optional<DesktopOverlayOrigin> &topLeft, const QList<QRectF> &screens, const QSizeF &size)
{
    if (screens.isEmpty())
        return QRectF(QPointF(0, 0), size);
    if (!topLeft) {
        const QRectF &first = screens.first();
        return QRectF(
            QPointF(first.right() - size.width() - kOverlayScreenMargin, first.top() + kOverlayScreenMargin), size);
    }

    const QRectF wanted(QPointF(topLeft->x, topLeft->y), size);
    qsizetype chosen = 0;
    qreal largestArea = 0;
    for (qsizetype i = 0; i < screens.size(); ++i) {
        const QRectF overlap = screens.at(i).intersected(wanted);
        const qreal area = overlap.isEmpty() ? 0 : overlap.width() * overlap.height();
        if (area > largestArea) {
            largestArea = area;
            chosen = i;
        }
    }
    if (largestArea <= 0) {
        qreal nearest = std::numeric_limits<qreal>::infinity();
        for (qsizetype i = 0; i < screens.size(); ++i) {
            const QPointF delta = screens.at(i).center() - wanted.center();
            const qreal distance = std::hypot(delta.x(), delta.y());
            if (distance < nearest) {
                nearest = distance;
                chosen = i;
            }
        }
    }

    const QRectF &frame = screens.at(chosen);
    const qreal x = std::min(std::max(wanted.x(), frame.left()), std::max(frame.left(), frame.right() - size.width()));
    const qreal y = std::min(std::max(wanted.y(), frame.top()), std::max(frame.top(), frame.bottom() - size.height()));
    return QRectF(QPointF(x, y), size);
}

} // namespace Vantrell
