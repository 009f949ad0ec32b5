// SPDX-License-Identifier: GPL-3.0-or-later
#include "watchlistlogosync.h"

#include "coinlist/watchlistsettings.h"
#include "coinlogostore.h"
#include "market/coincatalog.h"
#include "settingsstore/settingsviewmodel.h"

namespace Vantrell {

WatchlistLogoSync::WatchlistLogoSync(
    CoinLogoStore &store, SettingsViewModel &settings, const CoinCatalog &catalog, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_catalog(catalog)
{
    connect(&settings, &SettingsViewModel::settingsChanged, this, &WatchlistLogoSync::sync);
    sync(settings.settings());
}

void WatchlistLogoSync::sync(const AppSettings &settings)
{
    QStringList ids;
    for (const WatchlistCoin &coin : settings.watchlistCoins)
        ids.append(coin.coinId);
    if (ids == m_synced)
        return;
    m_synced = ids;
    m_store.sync(watchlistRecords(settings, m_catalog.byID()));
}

} // namespace Vantrell
