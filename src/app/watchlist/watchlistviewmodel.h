// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/coinmetadata.h"
#include "platform/clock.h"
#include "settings/appsettings.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace Vantrell {

class Bundle;
class CoinCatalog;
class SettingsViewModel;
class TimerFactory;
class WatchlistReorderSession;

// The decisions of the watchlist editor: what the recommended strip and the
// add-coin search offer, which coins the watched list shows, and every edit of
// the watchlist and its alerts. An edit is published and saved through the
// settings view model at once; edits that change which coins are watched or
// their order then ask the coin list to rebuild and restart polling, so a new
// coin's price arrives with the next poll. Entries of coins the catalog does
// not know stay in the settings untouched but are not shown. Main thread only.
class WatchlistViewModel final : public QObject
{
    Q_OBJECT

public:
    // Rebuilds the coin list and restarts polling after a watchlist edit.
    using CoinListReload = std::function<void()>;

    WatchlistViewModel(CoinCatalog &catalog, const Bundle &bundle, SettingsViewModel &settingsViewModel,
        CoinListReload reloadCoinList, TimerFactory &timerFactory, Clock now, QObject *parent = nullptr);
    ~WatchlistViewModel() override;

    // BTC, ETH, BNB, SOL, ZEC, HYPE, BCH, LTC, UNI, AAVE.
    static QStringList defaultRecommendedSymbols();
    // The symbols of a "recommendedCoins" document (a JSON array of strings),
    // trimmed and upper-cased, empty ones dropped; nothing when the document is
    // unusable or leaves no symbol.
    static std::optional<QStringList> parseRecommendedSymbols(const QByteArray &json);
    QStringList recommendedSymbols() const { return m_recommendedSymbols; }
    // The listed catalog records of recommendedSymbols() in their order (the
    // first record in catalog order for a symbol several coins share); symbols
    // without one are skipped.
    QList<CoinMetadata> recommendedCoins() const;

    QString searchText() const { return m_searchText; }
    void setSearchText(const QString &text);
    // All listed coins while the search text is blank, else search(searchText()).
    QList<CoinMetadata> results() const;
    // Listed coins whose symbol or name contains the trimmed query in any
    // letter case, in catalog order; nothing for a blank query.
    QList<CoinMetadata> search(const QString &query) const;

    // The watchlist holds the coin.
    bool isAdded(const QString &coinId) const;
    // The rows of the watched list: entries the catalog knows, in watchlist order.
    QList<CoinMetadata> watchedCoins() const;
    QList<CoinMetadata> watchedCoins(const AppSettings &settings) const;
    QStringList watchedIDs() const;

    // Appends a 2 % change alert for the coin unless the watchlist holds it.
    static void add(const QString &coinId, AppSettings &settings);
    // Drops every entry of the coin. When it was the displayed coin, the first
    // remaining one is displayed, or bitcoin when none remains.
    static void remove(const QString &coinId, AppSettings &settings);
    // The watchlist with the displayed entries in `order` and every other entry
    // behind them in its previous order; nothing when the order of entries does
    // not change. Entries of a coin listed twice keep their own alerts.
    static std::optional<QList<WatchlistCoin>> reordered(
        const QList<WatchlistCoin> &watchlist, const QStringList &order);

    // A chip, a search result or a row's delete button: removes an added coin,
    // adds any other. Ends a drag in progress without committing it.
    void toggle(const QString &coinId);
    void deleteCoin(const QString &coinId);
    // Return in the search field: adds the first result not yet added and
    // returns its id; nothing when every result is added.
    std::optional<QString> submitSearch();
    // Stores the displayed rows in `order`.
    void commitReorder(const QStringList &order);
    // Alt+Up / Alt+Down on a row: moves the row at `row` of watchedIDs() by
    // `delta` places and returns its new index, or nothing when it cannot move.
    std::optional<int> moveRow(int row, int delta);

    // The drag of the watched list. The list feeds it geometry and pointer
    // moves; beginReorderDrag() presses a row's handle.
    WatchlistReorderSession &reorderSession() { return *m_reorderSession; }
    void beginReorderDrag(int row, double pointerY);

    // Alert controls of a row, by coin id. The rate is the coin list's last
    // USD rate; the reference price the coin's price in the display currency.
    std::optional<WatchlistCoin> entry(const QString &coinId) const;
    CoinAlertKind alertKind(const QString &coinId) const;
    // The threshold in display units; 2 when the coin is not watched.
    double alertValue(const QString &coinId, double usdToTargetRate) const;
    // Sets the kind and proposes a threshold for it, in one save.
    void setAlertKind(
        const QString &coinId, CoinAlertKind kind, std::optional<double> referencePrice, double usdToTargetRate);
    void setAlertValue(const QString &coinId, double value, double usdToTargetRate);

    // Holdings of a row: the amount in coins, and the average cost typed in
    // the display currency and stored in USD. None removes the value.
    void setHolding(const QString &coinId, std::optional<double> holding);
    void setAverageCost(const QString &coinId, std::optional<double> displayValue, double usdToTargetRate);

Q_SIGNALS:
    void searchTextChanged(const QString &text);

private:
    struct SearchEntry
    {
        CoinMetadata coin;
        QString symbol;
        QString name;
    };

    void rebuildSearchIndex();
    void editWatchlist(const std::function<void(AppSettings &)> &change);

    CoinCatalog &m_catalog;
    SettingsViewModel &m_settingsViewModel;
    CoinListReload m_reloadCoinList;
    QStringList m_recommendedSymbols;
    QString m_searchText;
    // The listed coins in catalog order with their lower-cased symbol and name.
    QList<SearchEntry> m_searchIndex;
    std::unique_ptr<WatchlistReorderSession> m_reorderSession;
};

} // namespace Vantrell
