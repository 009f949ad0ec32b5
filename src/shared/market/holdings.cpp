// SPDX-License-Identifier: GPL-3.0-or-later
#include "holdings.h"

#include <QHash>

#include <cmath>

namespace Vantrell {

namespace {

bool isFinite(std::optional<double> value)
{
    return value && std::isfinite(*value);
}

std::optional<double> finiteOrNone(long double value)
{
    const auto narrowed = double(value);
    if (!std::isfinite(narrowed))
        return std::nullopt;
    return narrowed;
}

} // namespace

HoldingsTotals holdingsTotals(const QList<WatchlistCoin> &watchlist, const QList<Coin> &coins, double usdToTargetRate)
{
    QHash<QString, const Coin *> byId;
    byId.reserve(coins.size());
    for (const Coin &coin : coins) {
        if (!byId.contains(coin.id))
            byId.insert(coin.id, &coin);
    }
    const double rate = usdToTargetRate > 0 && std::isfinite(usdToTargetRate) ? usdToTargetRate : 1.0;

    HoldingsTotals totals;
    long double value = 0;
    long double changeNow = 0;
    long double changeThen = 0;
    bool anyChange = false;
    long double costedValue = 0;
    long double cost = 0;
    bool anyCost = false;

    for (const WatchlistCoin &entry : watchlist) {
        if (!entry.holding || !(*entry.holding > 0))
            continue;
        ++totals.heldCoins;
        const Coin *coin = byId.value(entry.coinId);
        if (!coin || !isFinite(coin->currentPrice))
            continue;
        const long double amount = *entry.holding;
        const long double worth = amount * *coin->currentPrice;
        if (!std::isfinite(double(worth)))
            continue;
        ++totals.pricedCoins;
        value += worth;

        // The price 24 hours ago follows from the change; a fall of 100 % or
        // more has no such price.
        if (isFinite(coin->priceChange24hPercent) && *coin->priceChange24hPercent > -100) {
            anyChange = true;
            changeNow += worth;
            changeThen += worth / (1.0L + *coin->priceChange24hPercent / 100.0L);
        }
        if (entry.averageCostUSD && *entry.averageCostUSD > 0) {
            const long double paid = amount * *entry.averageCostUSD * rate;
            if (std::isfinite(double(paid))) {
                anyCost = true;
                costedValue += worth;
                cost += paid;
            }
        }
    }

    totals.totalValue = finiteOrNone(value).value_or(0);
    if (anyChange) {
        totals.change24hValue = finiteOrNone(changeNow - changeThen);
        if (changeThen > 0)
            totals.change24hPercent = finiteOrNone((changeNow - changeThen) / changeThen * 100);
    }
    if (anyCost) {
        totals.gainValue = finiteOrNone(costedValue - cost);
        if (cost > 0)
            totals.gainPercent = finiteOrNone((costedValue - cost) / cost * 100);
    }
    return totals;
}

} // namespace Vantrell
