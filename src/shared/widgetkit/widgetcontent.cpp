// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgetcontent.h"

#include "market/coinmetadata.h"
#include "settings/appsettings.h"

#include <QSet>

#include <algorithm>

namespace Vantrell {

bool WidgetEntryContent::hasPrices() const
{
    return updatedAt.has_value()
        && std::any_of(rows.cbegin(), rows.cend(), [](const WidgetRow &row) { return row.price.has_value(); });
}

QStringList selectCoinIds(WidgetCoinSourceOption source, const QStringList &manualIds,
    const std::optional<WidgetSnapshot> &snapshot, int limit)
{
    QStringList base;
    if (source == WidgetCoinSourceOption::manual && !manualIds.isEmpty()) {
        base = manualIds;
    } else if (snapshot) {
        base = snapshot->watchlist;
    } else {
        for (const WatchlistCoin &coin : AppSettings::defaultWatchlist())
            base.append(coin.coinId);
    }

    QStringList ids;
    QSet<QString> seen;
    for (const QString &id : std::as_const(base)) {
        if (ids.size() >= limit)
            break;
        if (!seen.contains(id)) {
            seen.insert(id);
            ids.append(id);
        }
    }
    return ids;
}

WidgetRow makeRow(const CoinMetadata &metadata, const QHash<QString, WidgetSnapshot::Quote> &quotes)
{
    WidgetRow row;
    row.id = metadata.id;
    row.symbol = metadata.symbol;
    row.name = metadata.name;
    if (!metadata.logoAssetName.isEmpty())
        row.logoAssetName = metadata.logoAssetName;
    row.hasMarket = metadata.status == CoinStatus::active;
    const auto quote = quotes.constFind(metadata.id);
    if (quote != quotes.cend()) {
        row.price = quote->price;
        row.change24hPercent = quote->change24hPercent;
        row.history24h = quote->history24h;
    }
    return row;
}

std::optional<WidgetSnapshot::Holdings> widgetHoldings(
    bool showHoldings, const std::optional<WidgetSnapshot> &snapshot, BaseCurrency currency)
{
    if (!showHoldings || !snapshot || snapshot->currency != currency)
        return std::nullopt;
    return snapshot->holdings;
}

QList<WidgetRow> sortRows(QList<WidgetRow> rows, WidgetSortOption sort)
{
    if (sort == WidgetSortOption::watchlist)
        return rows;
    const auto withoutChange = std::stable_partition(
        rows.begin(), rows.end(), [](const WidgetRow &row) { return row.change24hPercent.has_value(); });
    const bool descending = sort == WidgetSortOption::changeDescending;
    std::stable_sort(rows.begin(), withoutChange, [descending](const WidgetRow &a, const WidgetRow &b) {
        return descending ? *a.change24hPercent > *b.change24hPercent : *a.change24hPercent < *b.change24hPercent;
    });
    return rows;
}

} // namespace Vantrell
