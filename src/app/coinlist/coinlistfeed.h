// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/coinmetadata.h"

#include <QDateTime>
#include <QList>
#include <QObject>

#include <optional>

namespace Vantrell {

// The coin list as everything that shows prices follows it: the coins in
// watchlist order, whether a price fetch is running and since when the prices
// are stale, with a signal for each. The application's CoinListViewModel is
// the one in the program; views are tested against fakes.
class CoinListFeed : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual QList<Coin> coins() const = 0;
    virtual bool isLoading() const = 0;
    // What one US dollar is worth in the display currency, by the last prices
    // (1 before the first); alert thresholds are stored in US dollars.
    virtual double usdToTargetRate() const { return 1.0; }
    // The time of the newest price while it is too old; empty while fresh.
    virtual std::optional<QDateTime> stalePricesSince() const = 0;
    // Every exchange refuses connections from this network.
    virtual bool networkRefused() const { return false; }

Q_SIGNALS:
    void coinsChanged();
    void isLoadingChanged();
    void stalePricesSinceChanged();
    void networkRefusedChanged();
};

} // namespace Vantrell
