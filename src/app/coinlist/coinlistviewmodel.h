// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "alertdecision.h"
#include "coinlistfeed.h"
#include "market/coinmetadata.h"
#include "market/pricehistory.h"
#include "market/result.h"
#include "market/tickerquote.h"
#include "platform/clock.h"
#include "settings/settingsenums.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>

namespace Vantrell {

class CoinCatalog;
class PriceAlertNotifying;
class PriceServicing;
class SettingsViewModel;
class Timer;
class TimerFactory;

// The main loop of the application: turns the watchlist into the live coin
// list, polls the price service every `pollingInterval` seconds, applies each
// snapshot, decides price alerts and keeps the per-coin reference prices that
// make an alert fire once per crossing. Its coins are the one source of prices
// for the panel title, the popover, the overlay and the widget snapshot.
// Main thread only; it does not watch the settings itself (the shell and the
// watchlist editor call rebuildCoins() and restartPolling()).
class CoinListViewModel final : public CoinListFeed
{
    Q_OBJECT

public:
    // Builds the coins and starts polling at once; rebuilds and restarts
    // whenever the catalog publishes new records.
    CoinListViewModel(CoinCatalog &catalog, SettingsViewModel &settingsViewModel, PriceServicing &priceService,
        PriceAlertNotifying &notifier, TimerFactory &timerFactory, Clock now, QObject *parent = nullptr);
    ~CoinListViewModel() override;

    // One entry per watchlist entry the catalog knows, in watchlist order.
    QList<Coin> coins() const override { return m_coins; }
    // A price fetch is in flight.
    bool isLoading() const override { return m_isLoading; }
    // The rate of the last applied snapshot (1.0 before the first).
    double usdToTargetRate() const override { return m_lastUsdToTargetExchangeRate; }
    // The currency the live prices of coins() are in; none before the first snapshot.
    std::optional<BaseCurrency> priceDataCurrency() const { return m_priceDataCurrency; }
    // The time of the newest price while that is older than stalePriceAge
    // (looked at again on a timer, not only when a fetch ends); empty while
    // the prices are fresh or there are none.
    std::optional<QDateTime> stalePricesSince() const override { return m_stalePricesSince; }
    // The last fetch ended because every exchange refuses connections from
    // this network; a fetch that brings prices or fails otherwise ends it.
    bool networkRefused() const override { return m_networkRefused; }

    // Recomputes coins() from the settings and the catalog, first moving
    // watchlist entries of migrated coins to their successors. Live fields
    // are carried over while the display currency is unchanged.
    void rebuildCoins();
    // Stops the timer and any fetch, starts a new timer, fetches at once.
    void restartPolling();
    // Starts one fetch of every active coin unless one is in flight.
    void refreshPrices();

    // Takes a fetched snapshot for `currency`; dropped when the display
    // currency changed while the fetch was in flight.
    void handleSnapshot(const PriceSnapshot &snapshot, BaseCurrency currency);
    // Applies prices and 24-hour changes (keyed by upper-case symbol) in
    // `currency`, with the exchange of each price, decides alerts and
    // publishes the coins once.
    void applySnapshot(const QHash<QString, double> &prices, const QHash<QString, double> &changes,
        BaseCurrency currency, double usdToTargetRate, const QHash<QString, QString> &sources = {});

    // The last 24 hours of each symbol, in USDT: every coin's history24h
    // follows them, converted like its price and ending at it.
    void setPriceHistory(const QHash<QString, PriceSeries> &series);

    // The poll period for a stored `pollingInterval` in seconds. A value that
    // is not a positive finite number would make a repeating timer spin; it
    // gives the default of 10 s instead (the stored value is left alone).
    static std::chrono::milliseconds pollPeriod(double pollingIntervalSeconds);

private:
    void setLoading(bool loading);
    void cancelFetch();
    void finishFetch(quint64 generation, const Result<PriceSnapshot> &result, BaseCurrency currency);
    void ensureDisplayedCoin();
    void updateFreshness();
    // Sets each coin's history24h from the series, the rate and its price; true when one changed.
    bool fillHistory(double usdToTargetRate);

    CoinCatalog &m_catalog;
    SettingsViewModel &m_settingsViewModel;
    PriceServicing &m_priceService;
    PriceAlertNotifying &m_notifier;
    Clock m_now;

    QList<Coin> m_coins;
    bool m_isLoading = false;
    double m_lastUsdToTargetExchangeRate = 1.0;
    std::optional<BaseCurrency> m_priceDataCurrency;
    // By symbol: whether the latest price may decide alerts.
    QHash<QString, PriceTrust> m_priceTrust;

    CancelHandle m_fetch;
    // Tells the completion of an abandoned fetch from the current one.
    quint64 m_fetchGeneration = 0;
    std::unique_ptr<Timer> m_pollTimer;
    std::unique_ptr<Timer> m_freshnessCheck;
    std::optional<QDateTime> m_stalePricesSince;
    QHash<QString, PriceSeries> m_history;
    bool m_networkRefused = false;
};

} // namespace Vantrell
