// SPDX-License-Identifier: GPL-3.0-or-later
#include "coinlistviewmodel.h"

#include "alertdecision.h"
#include "alerts/pricealertnotifying.h"
#include "market/coincatalog.h"
#include "market/services.h"
#include "platform/timer.h"
#include "pricefreshness.h"
#include "settingsstore/settingsviewmodel.h"

#include <QPointer>
#include <QSet>

#include <cmath>
#include <limits>

namespace Vantrell {

namespace {
constexpr std::chrono::milliseconds defaultPollPeriod {10'000};

bool isUsablePrice(double price)
{
    return std::isfinite(price) && price > 0;
}
} // namespace

CoinListViewModel::CoinListViewModel(CoinCatalog &catalog, SettingsViewModel &settingsViewModel,
    PriceServicing &priceService, PriceAlertNotifying &notifier, TimerFactory &timerFactory, Clock now, QObject *parent)
    : CoinListFeed(parent)
    , m_catalog(catalog)
    , m_settingsViewModel(settingsViewModel)
    , m_priceService(priceService)
    , m_notifier(notifier)
    , m_now(std::move(now))
{
    m_pollTimer = timerFactory.createTimer(Timer::Mode::repeating, [self = QPointer(this)] {
        if (self)
            self->refreshPrices();
    });
    m_freshnessCheck = timerFactory.createTimer(Timer::Mode::singleShot, [self = QPointer(this)] {
        if (self)
            self->updateFreshness();
    });
    rebuildCoins();
    restartPolling();
    connect(&m_catalog, &CoinCatalog::coinsChanged, this, [this] {
        rebuildCoins();
        restartPolling();
    });
}

CoinListViewModel::~CoinListViewModel()
{
    if (m_fetch)
        m_fetch->cancel();
}

std::chrono::milliseconds CoinListViewModel::pollPeriod(double pollingIntervalSeconds)
{
    if (!std::isfinite(pollingIntervalSeconds) || pollingIntervalSeconds <= 0)
        return defaultPollPeriod;
    const double milliseconds = std::round(pollingIntervalSeconds * 1000);
    // A sub-millisecond period still has to leave the event loop room to breathe.
    if (milliseconds < 1)
        return std::chrono::milliseconds(1);
    if (milliseconds >= double(std::numeric_limits<std::chrono::milliseconds::rep>::max()))
        return std::chrono::milliseconds::max();
    return std::chrono::milliseconds(std::chrono::milliseconds::rep(milliseconds));
}

void CoinListViewModel::rebuildCoins()
{
    if (auto migrated = m_catalog.migratedSettings(m_settingsViewModel.settings()))
        m_settingsViewModel.setSettings(*migrated);
    const AppSettings &settings = m_settingsViewModel.settings();

    // When a coin occurs twice, the first one's live fields count.
    QHash<QString, qsizetype> previous;
    previous.reserve(m_coins.size());
    for (qsizetype i = 0; i < m_coins.size(); ++i) {
        if (!previous.contains(m_coins.at(i).id))
            previous.insert(m_coins.at(i).id, i);
    }

    const bool carryPrices = !m_priceDataCurrency || *m_priceDataCurrency == settings.baseCurrency;
    const auto &byID = m_catalog.byID();

    QList<Coin> coins;
    coins.reserve(settings.watchlistCoins.size());
    for (const WatchlistCoin &entry : settings.watchlistCoins) {
        const auto record = byID.constFind(entry.coinId);
        if (record == byID.constEnd())
            continue;
        Coin coin = Coin::fromMetadata(*record);
        if (coin.status == CoinStatus::active && carryPrices) {
            const auto old = previous.constFind(coin.id);
            if (old != previous.constEnd()) {
                const Coin &oldCoin = m_coins.at(*old);
                if (oldCoin.symbol == coin.symbol) {
                    coin.currentPrice = oldCoin.currentPrice;
                    coin.priceChange24hPercent = oldCoin.priceChange24hPercent;
                    coin.referencePrice = oldCoin.referencePrice;
                    coin.lastUpdated = oldCoin.lastUpdated;
                }
            }
        }
        coins.append(std::move(coin));
    }
    m_coins = std::move(coins);
    fillHistory(m_lastUsdToTargetExchangeRate);
    Q_EMIT coinsChanged();
    updateFreshness();

    ensureDisplayedCoin();
}

void CoinListViewModel::ensureDisplayedCoin()
{
    const AppSettings &settings = m_settingsViewModel.settings();
    if (settings.watchlistCoins.isEmpty())
        return;
    for (const WatchlistCoin &entry : settings.watchlistCoins) {
        if (entry.coinId == settings.displayedCoinId)
            return;
    }
    const QString first = settings.watchlistCoins.constFirst().coinId;
    m_settingsViewModel.update([&first](AppSettings &changed) { changed.displayedCoinId = first; });
}

void CoinListViewModel::restartPolling()
{
    m_pollTimer->stop();
    cancelFetch();
    m_pollTimer->start(pollPeriod(m_settingsViewModel.settings().pollingInterval));
    // After sleep the timer below has not run for the time asleep: the wall clock decides now.
    updateFreshness();
    refreshPrices();
}

void CoinListViewModel::cancelFetch()
{
    if (m_fetch) {
        m_fetch->cancel();
        m_fetch.reset();
    }
    ++m_fetchGeneration;
    setLoading(false);
}

void CoinListViewModel::refreshPrices()
{
    if (m_isLoading)
        return;

    QStringList symbols;
    for (const Coin &coin : std::as_const(m_coins)) {
        if (coin.status == CoinStatus::active)
            symbols.append(coin.symbol);
    }
    if (symbols.isEmpty())
        return;

    const BaseCurrency currency = m_settingsViewModel.settings().baseCurrency;
    setLoading(true);
    const quint64 generation = ++m_fetchGeneration;
    CancelHandle handle = m_priceService.fetchPrices(
        symbols, currency, [self = QPointer(this), generation, currency](Result<PriceSnapshot> result) {
            if (self)
                self->finishFetch(generation, result, currency);
        });
    // A service may complete before returning; then there is nothing left to cancel.
    if (m_isLoading && m_fetchGeneration == generation)
        m_fetch = std::move(handle);
}

void CoinListViewModel::finishFetch(quint64 generation, const Result<PriceSnapshot> &result, BaseCurrency currency)
{
    // A cancelled fetch must not complete, but if one does it changes nothing.
    if (generation != m_fetchGeneration || !m_isLoading)
        return;
    m_fetch.reset();
    // Failures change no coin: the previous prices stay on show until the next tick.
    if (result.ok())
        handleSnapshot(result.value(), currency);
    const bool refused = !result.ok() && result.error().code == MarketError::Code::networkRefused;
    if (refused != m_networkRefused) {
        m_networkRefused = refused;
        Q_EMIT networkRefusedChanged();
    }
    setLoading(false);
}

void CoinListViewModel::handleSnapshot(const PriceSnapshot &snapshot, BaseCurrency currency)
{
    if (m_settingsViewModel.settings().baseCurrency != currency)
        return;
    m_lastUsdToTargetExchangeRate = snapshot.usdToTargetRate;
    applySnapshot(snapshot.prices, snapshot.changes24h, currency, snapshot.usdToTargetRate, snapshot.sources);
}

void CoinListViewModel::applySnapshot(const QHash<QString, double> &prices, const QHash<QString, double> &changes,
    BaseCurrency currency, double usdToTargetRate, const QHash<QString, QString> &sources)
{
    const AppSettings settings = m_settingsViewModel.settings();

    if (m_priceDataCurrency && *m_priceDataCurrency != currency) {
        // Alerts re-arm from the first price in the new currency.
        for (Coin &coin : m_coins)
            coin.referencePrice.reset();
        m_priceTrust.clear();
    }
    m_priceDataCurrency = currency;

    // One check a symbol and poll, however many coins share the symbol.
    QHash<QString, bool> trusted;
    for (const Coin &coin : std::as_const(m_coins)) {
        const auto found = prices.constFind(coin.symbol);
        if (found != prices.constEnd() && isUsablePrice(*found) && !trusted.contains(coin.symbol))
            trusted.insert(coin.symbol, trustPrice(m_priceTrust[coin.symbol], *found));
    }

    // The first watchlist entry of each coin carries its alert.
    QHash<QString, const WatchlistCoin *> entries;
    if (settings.priceChangeNotificationEnabled) {
        entries.reserve(settings.watchlistCoins.size());
        for (const WatchlistCoin &entry : settings.watchlistCoins) {
            if (!entries.contains(entry.coinId))
                entries.insert(entry.coinId, &entry);
        }
    }

    const QDateTime now = m_now();
    // A watchlist holding a coin twice yields two coins; the user still gets one alert.
    QSet<QString> notified;
    for (Coin &coin : m_coins) {
        const auto found = prices.constFind(coin.symbol);
        // A zero, negative or non-finite price is no price: as a reference it
        // would silence the coin's change alert for the rest of the run.
        if (found == prices.constEnd() || !isUsablePrice(*found))
            continue;
        const double price = *found;
        const auto change = changes.constFind(coin.symbol);

        coin.currentPrice = price;
        coin.priceChange24hPercent = change == changes.constEnd() ? std::nullopt : std::optional<double>(*change);
        coin.lastUpdated = now;
        coin.priceSource = sources.value(coin.symbol);

        const auto entry = entries.constFind(coin.id);
        if (entry == entries.constEnd()) {
            coin.referencePrice = referenceWithoutAlert(price, coin.referencePrice);
            continue;
        }
        if (!trusted.value(coin.symbol))
            continue;
        const WatchlistCoin &alert = **entry;
        const AlertDecision decision
            = decideAlert(alert.alertKind, alert.notificationThreshold, usdToTargetRate, price, coin.referencePrice);
        if (decision.fires && !notified.contains(coin.id)) {
            notified.insert(coin.id);
            m_notifier.notify(coin, alert.alertKind, settings.baseCurrency, alert.notificationThreshold,
                decision.change, usdToTargetRate);
        }
        coin.referencePrice = decision.referenceAfter;
    }
    fillHistory(usdToTargetRate);
    Q_EMIT coinsChanged();
    updateFreshness();
}

void CoinListViewModel::setPriceHistory(const QHash<QString, PriceSeries> &series)
{
    m_history = series;
    if (fillHistory(m_lastUsdToTargetExchangeRate))
        Q_EMIT coinsChanged();
}

bool CoinListViewModel::fillHistory(double usdToTargetRate)
{
    const QDateTime now = m_now();
    bool changed = false;
    for (Coin &coin : m_coins) {
        const auto series = m_history.constFind(coin.symbol);
        PriceHistory24h history;
        if (series != m_history.cend())
            history.values = displayedHistory(*series, usdToTargetRate, coin.currentPrice, now);
        if (!(history == coin.history24h)) {
            coin.history24h = std::move(history);
            changed = true;
        }
    }
    return changed;
}

void CoinListViewModel::updateFreshness()
{
    const std::optional<QDateTime> newest = newestUpdate(m_coins);
    const PriceFreshness freshness = priceFreshness(newest, m_now());
    if (freshness.recheckIn)
        m_freshnessCheck->start(*freshness.recheckIn);
    else
        m_freshnessCheck->stop();
    const std::optional<QDateTime> staleSince = freshness.stale ? newest : std::nullopt;
    if (staleSince == m_stalePricesSince)
        return;
    m_stalePricesSince = staleSince;
    Q_EMIT stalePricesSinceChanged();
}

void CoinListViewModel::setLoading(bool loading)
{
    if (m_isLoading == loading)
        return;
    m_isLoading = loading;
    Q_EMIT isLoadingChanged();
}

} // namespace Vantrell
