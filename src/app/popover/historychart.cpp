// SPDX-License-Identifier: GPL-3.0-or-later
#include "historychart.h"

#include "i18n/localizationmanager.h"
#include "market/pricehistory.h"
#include "widgetkit/priceformatter.h"
#include "widgetkit/sparkline.h"

#include <Qt>

#include <cmath>

namespace Vantrell {

QDateTime HistoryChartReadout::slotTime(qsizetype index, qsizetype count, const QDateTime &priceTime)
{
    constexpr qint64 slot = PriceSeries::slotSeconds;
    const qint64 openSlot = windowStart(priceTime) + (PriceSeries::slots - 1) * slot;
    return QDateTime::fromSecsSinceEpoch(openSlot - (count - 1 - index) * slot, Qt::UTC);
}

qsizetype HistoryChartReadout::stepped(const QList<double> &values, qsizetype index, int key)
{
    const auto usable = [&values](qsizetype i) { return i >= 0 && i < values.size() && std::isfinite(values.at(i)); };
    qsizetype step = 0;
    qsizetype from = index;
    switch (key) {
    case Qt::Key_Left:
        step = -1;
        break;
    case Qt::Key_Right:
        step = 1;
        break;
    case Qt::Key_Home:
        step = 1;
        from = -1;
        break;
    case Qt::Key_End:
        step = -1;
        from = values.size();
        break;
    default:
        return index;
    }
    for (qsizetype i = from + step; i >= 0 && i < values.size(); i += step) {
        if (usable(i))
            return i;
    }
    return index;
}

std::optional<HistoryChartReadout> HistoryChartReadout::of(
    const Coin &coin, qsizetype pointIndex, BaseCurrency currency, AppLanguage language, const QDateTime &priceTime)
{
    const QList<double> &values = coin.history24h.values;
    const SparklineGeometry geometry = SparklineGeometry::of(values, QRectF(0, 0, 1, 1));
    if (!geometry.highIndex || !geometry.lowIndex)
        return std::nullopt;
    const auto timeOf
        = [&](qsizetype i) { return shortTime(slotTime(i, values.size(), priceTime).toLocalTime().time(), language); };
    const auto priceOf = [&](qsizetype i) { return formatPrice(values.at(i), currency, true); };
    HistoryChartReadout readout;
    readout.high
        = localizedString(QStringLiteral("chart.high"), {priceOf(*geometry.highIndex), timeOf(*geometry.highIndex)});
    readout.low
        = localizedString(QStringLiteral("chart.low"), {priceOf(*geometry.lowIndex), timeOf(*geometry.lowIndex)});
    if (pointIndex >= 0 && pointIndex < values.size() && std::isfinite(values.at(pointIndex)))
        readout.point = timeOf(pointIndex) + QStringLiteral(" · ") + priceOf(pointIndex);
    const QString change = coin.priceChange24hPercent && std::isfinite(*coin.priceChange24hPercent)
        ? localizedString(QStringLiteral("chart.change"), {formatChangePercent(*coin.priceChange24hPercent)}) + u' '
        : QString();
    readout.description = change + readout.high + QStringLiteral(". ") + readout.low + u'.';
    return readout;
}

} // namespace Vantrell
