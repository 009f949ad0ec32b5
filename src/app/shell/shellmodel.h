// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/coinmetadata.h"
#include "platform/timer.h"
#include "settings/appsettings.h"
#include "tray/traymenu.h"

#include <QHash>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace Vantrell {

// The settings whose change reloads the coin list and restarts polling.
struct ReloadSettingsSnapshot
{
    BaseCurrency baseCurrency = BaseCurrency::usd;
    bool priceChangeNotificationEnabled = true;
    double pollingInterval = 10.0;
    AppLanguage language = AppLanguage::system;

    static ReloadSettingsSnapshot of(const AppSettings &settings)
    {
        return {settings.baseCurrency, settings.priceChangeNotificationEnabled, settings.pollingInterval,
            settings.language};
    }
    bool operator==(const ReloadSettingsSnapshot &) const = default;
};

// Feeds settings values through "distinct, skip the first, debounce": a
// reload runs once the polling-relevant settings have been quiet for the
// delay after a change. Consecutive equal snapshots are dropped before the
// debounce, so changing a value and back within the delay still reloads once.
class ReloadDebouncer final
{
public:
    static constexpr std::chrono::milliseconds delay {500};

    ReloadDebouncer(TimerFactory &timers, std::function<void()> reload);

    void push(const AppSettings &settings);

private:
    std::optional<ReloadSettingsSnapshot> m_last;
    std::unique_ptr<Timer> m_timer;
};

// Entry ids of the tray menu.
namespace MenuIds {
inline constexpr int changeCoin = 1;
inline constexpr int settings = 2;
inline constexpr int about = 3;
inline constexpr int checkForUpdates = 4;
inline constexpr int quit = 5;
// Coin entries get stable ids from here on.
inline constexpr int firstCoin = 100;
} // namespace MenuIds

// Hands out a stable menu id per coin id, so that a panel clicking an entry
// it showed before the menu changed still reaches the right coin.
class CoinMenuIds final
{
public:
    int idFor(const QString &coinId);
    std::optional<QString> coinFor(int menuId) const;

private:
    QHash<QString, int> m_ids;
    QHash<int, QString> m_coins;
    int m_next = MenuIds::firstCoin;
};

struct StatusMenuState
{
    bool canCheckForUpdates = false;
};

// The right-click menu: "Change" with one radio entry per watchlist coin the
// catalog knows (checked for the displayed coin), then settings, about, check
// for updates and quit, titles in the current language.
TrayMenu buildStatusMenu(const AppSettings &settings, const QHash<QString, CoinMetadata> &catalog,
    const StatusMenuState &state, CoinMenuIds &ids);

// The catalog records of the watchlist coins, in watchlist order, skipping ids
// the catalog does not know.
QList<CoinMetadata> watchlistRecords(const AppSettings &settings, const QHash<QString, CoinMetadata> &catalog);

} // namespace Vantrell
