// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/coinmetadata.h"

#include <QDateTime>
#include <QList>
#include <QObject>

#include <optional>

namespace Vantrell {

class CoinListViewModel;

// What the popover reads of the coin list: the coins in watchlist order,
// whether a price fetch is running and since when the prices are stale, with a
// signal for each.
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

// The feed of the application's coin list model.
class CoinListViewModelFeed final : public CoinListFeed
{
    Q_OBJECT

public:
    explicit CoinListViewModelFeed(CoinListViewModel &model, QObject *parent = nullptr);

    QList<Coin> coins() const override;
    bool isLoading() const override;
    double usdToTargetRate() const override;
    std::optional<QDateTime> stalePricesSince() const override;
    bool networkRefused() const override;

private:
    CoinListViewModel &m_model;
};

} // namespace Vantrell
