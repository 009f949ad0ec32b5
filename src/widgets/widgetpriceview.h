// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgetkit/widgetextension.h"
#include "widgetkit/widgetviews.h"

#include <QDateTime>
#include <QRectF>

class QPainter;

namespace Vantrell {

// The watchlist widget: the shared list, with the taller rows of the large family.
struct WatchlistWidgetView
{
    static void paint(QPainter &painter, const QRectF &rect, const VantrellWidgetEntry &entry, WidgetFamily family,
        WidgetResources &resources, const WidgetEnvironment &environment);
};

// The single-coin widget: logo, symbol and name, the price large, the change
// and the update time; the empty view without prices.
struct WidgetPriceView
{
    static void paint(QPainter &painter, const QRectF &rect, const WidgetEntryContent &content, const QDateTime &now,
        WidgetResources &resources, const WidgetEnvironment &environment);

    // The price text: the list's form with the currency's symbol, or an em
    // dash without a price.
    static QString priceText(const WidgetRow &row, BaseCurrency currency);
    // The point size the price is drawn at: 26, shrunk to fit `width` but never below 13.
    static qreal priceFontSize(qreal textWidthAt26, qreal width);
};

} // namespace Vantrell
