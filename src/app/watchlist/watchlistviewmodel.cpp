// SPDX-License-Identifier: GPL-3.0-or-later
#include "watchlistviewmodel.h"

#include "alertthreshold.h"
#include "coinlist/watchlistsettings.h"
#include "holdingfield.h"
#include "market/coincatalog.h"
#include "platform/bundle.h"
#include "settingsstore/settingsviewmodel.h"
#include "watchlistreordersession.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>

namespace Vantrell {

namespace {

QStringList loadRecommendedSymbols(const Bundle &bundle)
{
    const auto path = bundle.resourcePath(QStringLiteral("recommendedCoins"), QStringLiteral("json"));
    if (!path)
        return WatchlistViewModel::defaultRecommendedSymbols();
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly))
        return WatchlistViewModel::defaultRecommendedSymbols();
    return WatchlistViewModel::parseRecommendedSymbols(file.readAll())
        .value_or(WatchlistViewModel::defaultRecommendedSymbols());
}

} // namespace

WatchlistViewModel::WatchlistViewModel(CoinCatalog &catalog, const Bundle &bundle, SettingsViewModel &settingsViewModel,
    CoinListReload reloadCoinList, TimerFactory &timerFactory, Clock now, QObject *parent)
    : QObject(parent)
    , m_catalog(catalog)
    , m_settingsViewModel(settingsViewModel)
    , m_reloadCoinList(std::move(reloadCoinList))
    , m_recommendedSymbols(loadRecommendedSymbols(bundle))
    , m_reorderSession(std::make_unique<WatchlistReorderSession>(timerFactory, std::move(now)))
{
    rebuildSearchIndex();
    connect(&m_catalog, &CoinCatalog::coinsChanged, this, &WatchlistViewModel::rebuildSearchIndex);
}

WatchlistViewModel::~WatchlistViewModel() = default;

QStringList WatchlistViewModel::defaultRecommendedSymbols()
{
    return {QStringLiteral("BTC"), QStringLiteral("ETH"), QStringLiteral("BNB"), QStringLiteral("SOL"),
        QStringLiteral("ZEC"), QStringLiteral("HYPE"), QStringLiteral("BCH"), QStringLiteral("LTC"),
        QStringLiteral("UNI"), QStringLiteral("AAVE")};
}

std::optional<QStringList> WatchlistViewModel::parseRecommendedSymbols(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    QStringList symbols;
    for (const QJsonValue &value : document.array()) {
        // A list of strings or nothing: one stray value makes the document unusable.
        if (!value.isString())
            return std::nullopt;
        const QString symbol = value.toString().trimmed().toUpper();
        if (!symbol.isEmpty())
            symbols.append(symbol);
    }
    if (symbols.isEmpty())
        return std::nullopt;
    return symbols;
}

void WatchlistViewModel::rebuildSearchIndex()
{
    m_searchIndex.clear();
    for (const CoinMetadata &coin : m_catalog.coins()) {
        if (coin.listed)
            m_searchIndex.append(SearchEntry {coin, coin.symbol.toLower(), coin.name.toLower()});
    }
}

QList<CoinMetadata> WatchlistViewModel::recommendedCoins() const
{
    QHash<QString, const CoinMetadata *> bySymbol;
    for (const SearchEntry &entry : m_searchIndex) {
        if (!bySymbol.contains(entry.coin.symbol))
            bySymbol.insert(entry.coin.symbol, &entry.coin);
    }
    QList<CoinMetadata> coins;
    for (const QString &symbol : m_recommendedSymbols) {
        if (const CoinMetadata *coin = bySymbol.value(symbol))
            coins.append(*coin);
    }
    return coins;
}

void WatchlistViewModel::setSearchText(const QString &text)
{
    if (text == m_searchText)
        return;
    m_searchText = text;
    Q_EMIT searchTextChanged(m_searchText);
}

QList<CoinMetadata> WatchlistViewModel::results() const
{
    if (!m_searchText.trimmed().isEmpty())
        return search(m_searchText);
    QList<CoinMetadata> coins;
    coins.reserve(m_searchIndex.size());
    for (const SearchEntry &entry : m_searchIndex)
        coins.append(entry.coin);
    return coins;
}

QList<CoinMetadata> WatchlistViewModel::search(const QString &query) const
{
    const QString needle = query.trimmed().toLower();
    QList<CoinMetadata> coins;
    if (needle.isEmpty())
        return coins;
    for (const SearchEntry &entry : m_searchIndex) {
        if (entry.symbol.contains(needle) || entry.name.contains(needle))
            coins.append(entry.coin);
    }
    return coins;
}

bool WatchlistViewModel::isAdded(const QString &coinId) const
{
    return entry(coinId).has_value();
}

QList<CoinMetadata> WatchlistViewModel::watchedCoins() const
{
    return watchedCoins(m_settingsViewModel.settings());
}

QList<CoinMetadata> WatchlistViewModel::watchedCoins(const AppSettings &settings) const
{
    return watchlistRecords(settings, m_catalog.byID());
}

QStringList WatchlistViewModel::watchedIDs() const
{
    QStringList ids;
    for (const CoinMetadata &coin : watchedCoins())
        ids.append(coin.id);
    return ids;
}

void WatchlistViewModel::add(const QString &coinId, AppSettings &settings)
{
    for (const WatchlistCoin &entry : std::as_const(settings.watchlistCoins)) {
        if (entry.coinId == coinId)
            return;
    }
    settings.watchlistCoins.append(WatchlistCoin {coinId, CoinAlertKind::change, 2.0});
}

void WatchlistViewModel::remove(const QString &coinId, AppSettings &settings)
{
    settings.watchlistCoins.removeIf([&coinId](const WatchlistCoin &entry) { return entry.coinId == coinId; });
    if (settings.displayedCoinId == coinId) {
        settings.displayedCoinId = settings.watchlistCoins.isEmpty() ? QStringLiteral("bitcoin")
                                                                     : settings.watchlistCoins.constFirst().coinId;
    }
}

std::optional<QList<WatchlistCoin>> WatchlistViewModel::reordered(
    const QList<WatchlistCoin> &watchlist, const QStringList &order)
{
    // Each coin's entries from first to last: a coin listed twice (a hand-edited
    // file) moves entry by entry instead of one entry standing in for both.
    QHash<QString, QList<qsizetype>> positions;
    for (qsizetype i = 0; i < watchlist.size(); ++i)
        positions[watchlist.at(i).coinId].append(i);

    QList<bool> placed(watchlist.size(), false);
    QList<WatchlistCoin> result;
    result.reserve(watchlist.size());
    for (const QString &id : order) {
        const auto it = positions.find(id);
        if (it == positions.end() || it->isEmpty())
            continue;
        const qsizetype index = it->takeFirst();
        placed[index] = true;
        result.append(watchlist.at(index));
    }
    for (qsizetype i = 0; i < watchlist.size(); ++i) {
        if (!placed.at(i))
            result.append(watchlist.at(i));
    }
    for (qsizetype i = 0; i < watchlist.size(); ++i) {
        if (result.at(i).coinId != watchlist.at(i).coinId)
            return result;
    }
    return std::nullopt;
}

void WatchlistViewModel::editWatchlist(const std::function<void(AppSettings &)> &change)
{
    m_reorderSession->cancel();
    m_settingsViewModel.update(change);
    if (m_reloadCoinList)
        m_reloadCoinList();
}

void WatchlistViewModel::toggle(const QString &coinId)
{
    const bool added = isAdded(coinId);
    editWatchlist([&](AppSettings &settings) {
        if (added)
            remove(coinId, settings);
        else
            add(coinId, settings);
    });
}

void WatchlistViewModel::deleteCoin(const QString &coinId)
{
    editWatchlist([&coinId](AppSettings &settings) { remove(coinId, settings); });
}

std::optional<QString> WatchlistViewModel::submitSearch()
{
    for (const CoinMetadata &coin : results()) {
        if (!isAdded(coin.id)) {
            toggle(coin.id);
            return coin.id;
        }
    }
    return std::nullopt;
}

void WatchlistViewModel::commitReorder(const QStringList &order)
{
    const auto watchlist = reordered(m_settingsViewModel.settings().watchlistCoins, order);
    if (!watchlist)
        return;
    editWatchlist([&watchlist](AppSettings &settings) { settings.watchlistCoins = *watchlist; });
}

std::optional<int> WatchlistViewModel::moveRow(int row, int delta)
{
    QStringList ids = watchedIDs();
    const int target = row + delta;
    if (delta == 0 || row < 0 || row >= ids.size() || target < 0 || target >= ids.size())
        return std::nullopt;
    ids.move(row, target);
    m_reorderSession->cancel();
    commitReorder(ids);
    return target;
}

void WatchlistViewModel::beginReorderDrag(int row, double pointerY)
{
    m_reorderSession->press(row, watchedIDs(), pointerY, [this](const QStringList &order) { commitReorder(order); });
}

std::optional<WatchlistCoin> WatchlistViewModel::entry(const QString &coinId) const
{
    for (const WatchlistCoin &entry : m_settingsViewModel.settings().watchlistCoins) {
        if (entry.coinId == coinId)
            return entry;
    }
    return std::nullopt;
}

CoinAlertKind WatchlistViewModel::alertKind(const QString &coinId) const
{
    const auto found = entry(coinId);
    return found ? found->alertKind : CoinAlertKind::notSet;
}

double WatchlistViewModel::alertValue(const QString &coinId, double usdToTargetRate) const
{
    const auto found = entry(coinId);
    return found ? displayedThreshold(*found, usdToTargetRate) : 2.0;
}

void WatchlistViewModel::setAlertKind(
    const QString &coinId, CoinAlertKind kind, std::optional<double> referencePrice, double usdToTargetRate)
{
    const auto found = entry(coinId);
    if (!found || found->alertKind == kind)
        return;
    const double threshold = proposedThreshold(kind, found->notificationThreshold, referencePrice, usdToTargetRate);
    // Kind and threshold in one record: no reader ever sees a price alert with a percentage.
    m_settingsViewModel.update([&](AppSettings &settings) {
        for (WatchlistCoin &entry : settings.watchlistCoins) {
            if (entry.coinId == coinId) {
                entry.alertKind = kind;
                entry.notificationThreshold = threshold;
                return;
            }
        }
    });
}

void WatchlistViewModel::setAlertValue(const QString &coinId, double value, double usdToTargetRate)
{
    const auto found = entry(coinId);
    if (!found)
        return;
    const double threshold = storedThreshold(found->alertKind, value, usdToTargetRate);
    m_settingsViewModel.update([&](AppSettings &settings) {
        for (WatchlistCoin &entry : settings.watchlistCoins) {
            if (entry.coinId == coinId) {
                entry.notificationThreshold = threshold;
                return;
            }
        }
    });
}

void WatchlistViewModel::setHolding(const QString &coinId, std::optional<double> holding)
{
    if (!entry(coinId))
        return;
    m_settingsViewModel.update([&](AppSettings &settings) {
        for (WatchlistCoin &entry : settings.watchlistCoins) {
            if (entry.coinId == coinId) {
                entry.holding = holding;
                return;
            }
        }
    });
}

void WatchlistViewModel::setAverageCost(
    const QString &coinId, std::optional<double> displayValue, double usdToTargetRate)
{
    if (!entry(coinId))
        return;
    std::optional<double> costUSD;
    if (displayValue && *displayValue > 0)
        costUSD = std::min(*displayValue / effectiveUsdRate(usdToTargetRate), maximumAverageCost);
    m_settingsViewModel.update([&](AppSettings &settings) {
        for (WatchlistCoin &entry : settings.watchlistCoins) {
            if (entry.coinId == coinId) {
                entry.averageCostUSD = costUSD;
                return;
            }
        }
    });
}

} // namespace Vantrell
