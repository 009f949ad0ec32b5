// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgetpriceview.h"

#include "widgetkit/priceformatter.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace Vantrell {

namespace {
constexpr qreal kLogoSize = 26;
constexpr qreal kHeaderSpacing = 8;
constexpr qreal kColumnSpacing = 6;
constexpr qreal kPriceSize = 26;
} // namespace

void WatchlistWidgetView::paint(QPainter &painter, const QRectF &rect, const VantrellWidgetEntry &entry,
    WidgetFamily family, WidgetResources &resources, const WidgetEnvironment &environment)
{
    WidgetListView::paint(
        painter, rect, entry.content, entry.date, family == WidgetFamily::large, resources, environment);
}

QString WidgetPriceView::priceText(const WidgetRow &row, BaseCurrency currency)
{
    return row.price ? formatPrice(*row.price, currency, true) : QStringLiteral("\u2014");
}

qreal WidgetPriceView::priceFontSize(qreal textWidthAt26, qreal width)
{
    if (textWidthAt26 <= width || textWidthAt26 <= 0)
        return kPriceSize;
    return std::max(kPriceSize / 2, kPriceSize * width / textWidthAt26);
}

void WidgetPriceView::paint(QPainter &painter, const QRectF &rect, const WidgetEntryContent &content,
    const QDateTime &now, WidgetResources &resources, const WidgetEnvironment &environment)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!content.hasPrices() || content.rows.isEmpty()) {
        WidgetEmptyView::paint(painter, rect, content, resources, environment);
        painter.restore();
        return;
    }
    const WidgetRow &row = content.rows.constFirst();
    const qreal boost = environment.textBoost;
    const QFont symbolFont = widgetFont(painter, 14 + boost, QFont::DemiBold);
    const QFont nameFont = widgetFont(painter, 11 + boost, QFont::Normal);
    QFont priceFont = widgetFont(painter, kPriceSize + boost, QFont::DemiBold);
    const QFont changeFont = widgetFont(painter, 13 + boost, QFont::DemiBold);
    const QFont updatedFont = widgetFont(painter, 10.5 + boost, QFont::Normal);
    const QFontMetricsF symbolMetrics(symbolFont, painter.device());
    const QFontMetricsF nameMetrics(nameFont, painter.device());

    // The header: logo beside symbol over name, the pair centred on the logo.
    const QRectF logo(rect.left(), rect.top(), kLogoSize, kLogoSize);
    WidgetCoinLogo::paint(painter, logo, row, resources, environment);
    const qreal textLeft = logo.right() + kHeaderSpacing;
    const qreal textWidth = std::max<qreal>(0, rect.right() - textLeft);
    const qreal pairHeight = symbolMetrics.height() + nameMetrics.height();
    const qreal pairTop = logo.center().y() - pairHeight / 2;
    const qreal symbolBaseline = pairTop + symbolMetrics.ascent();
    const qreal nameBaseline = pairTop + symbolMetrics.height() + nameMetrics.ascent();
    TextHalo::paintText(painter, QPointF(textLeft, symbolBaseline),
        symbolMetrics.elidedText(row.symbol, Qt::ElideRight, textWidth), symbolFont, environment.textColor,
        environment);
    TextHalo::paintText(painter, QPointF(textLeft, nameBaseline),
        nameMetrics.elidedText(row.name, Qt::ElideRight, textWidth), nameFont, SecondaryText::color(environment),
        environment);

    // The price on one line, shrunk to fit down to half its size.
    const QString price = priceText(row, content.currency);
    const qreal fullWidth = QFontMetricsF(priceFont, painter.device()).horizontalAdvance(price);
    priceFont = widgetFont(painter, priceFontSize(fullWidth, rect.width()) + boost, QFont::DemiBold);
    const QFontMetricsF priceMetrics(priceFont, painter.device());
    const qreal priceTop = std::max(logo.bottom(), pairTop + pairHeight) + kColumnSpacing;
    const qreal priceBaseline = priceTop + priceMetrics.ascent();
    TextHalo::paintText(painter, QPointF(rect.left(), priceBaseline),
        priceMetrics.elidedText(price, Qt::ElideRight, rect.width()), priceFont, environment.textColor, environment);

    const QFontMetricsF changeMetrics(changeFont, painter.device());
    const qreal changeBaseline = priceBaseline + priceMetrics.descent() + kColumnSpacing + 2 + changeMetrics.ascent();
    if (const auto change = WidgetChangeText::make(row, content, resources.strings(content.language)))
        change->paint(painter, QPointF(rect.left(), changeBaseline), changeFont, environment);

    const QFontMetricsF updatedMetrics(updatedFont, painter.device());
    const qreal updatedBaseline
        = changeBaseline + changeMetrics.descent() + kColumnSpacing + 6 + updatedMetrics.ascent();
    if (const auto updated = WidgetUpdatedText::make(content, now))
        updated->paint(painter, QPointF(rect.left(), updatedBaseline), updatedFont, environment);
    painter.restore();
}

} // namespace Vantrell
