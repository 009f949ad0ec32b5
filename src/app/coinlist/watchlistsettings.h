// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/coinmetadata.h"
#include "platform/timer.h"
#include "settings/appsettings.h"

#include <QHash>
#include <QList>

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

// The catalog records of the watchlist coins, in watchlist order, skipping ids
// the catalog does not know.
QList<CoinMetadata> watchlistRecords(const AppSettings &settings, const QHash<QString, CoinMetadata> &catalog);

} // namespace Vantrell
