// SPDX-License-Identifier: GPL-3.0-or-later
#include "pricefreshness.h"

#include <algorithm>

namespace Vantrell {

PriceFreshness priceFreshness(
    const std::optional<QDateTime> &newestUpdate, const QDateTime &now, std::chrono::milliseconds staleAfter)
{
    if (!newestUpdate || !newestUpdate->isValid() || !now.isValid())
        return {};
    const std::chrono::milliseconds age(newestUpdate->msecsTo(now));
    if (age >= staleAfter)
        return {.stale = true};
    constexpr std::chrono::milliseconds shortestWait = std::chrono::seconds(1);
    return {.recheckIn = std::clamp(staleAfter - age, std::min(shortestWait, staleAfter), staleAfter)};
}

std::optional<QDateTime> newestUpdate(const QList<Coin> &coins)
{
    std::optional<QDateTime> newest;
    for (const Coin &coin : coins) {
        if (coin.currentPrice && coin.lastUpdated && coin.lastUpdated->isValid()
            && (!newest || *coin.lastUpdated > *newest))
            newest = coin.lastUpdated;
    }
    return newest;
}

} // namespace Vantrell
