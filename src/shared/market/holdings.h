// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "coinmetadata.h"
#include "settings/appsettings.h"

#include <QList>

#include <optional>

namespace Vantrell {

// What the user's holdings are worth, in the currency the coins' prices are
// in (the display currency).
struct HoldingsTotals
{
    // Watchlist entries with a holding above 0, and how many of them have a
    // usable price and so count in the totals.
    int heldCoins = 0;
    int pricedCoins = 0;

    // The value of the priced holdings.
    double totalValue = 0;
    // The move of that value over 24 hours, in money and in percent of the
    // value 24 hours ago, over the holdings whose coin has a 24-hour change;
    // none when no held coin has one.
    std::optional<double> change24hValue;
    std::optional<double> change24hPercent;
    // Gain or loss against what the priced holdings with an average cost
    // cost, in money and in percent of that cost; none without such holdings.
    std::optional<double> gainValue;
    std::optional<double> gainPercent;

    bool hasHoldings() const { return heldCoins > 0; }
    bool allPriced() const { return pricedCoins == heldCoins; }

    bool operator==(const HoldingsTotals &) const = default;
};

// The totals of the holdings in `watchlist` at the prices of `coins` (matched
// by id, the first coin of an id). A holding whose coin has no finite price, or
// whose value would not be a finite number, contributes nothing and is counted
// as unpriced. Average costs are stored in USD and turned into the prices'
// currency with `usdToTargetRate` (1 while it is 0 or less). Sums are kept in
// extended precision, so that totals near 1e9 are exact to the cent.
HoldingsTotals holdingsTotals(const QList<WatchlistCoin> &watchlist, const QList<Coin> &coins, double usdToTargetRate);

} // namespace Vantrell
