// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/appsettings.h"

#include <QObject>
#include <QStringList>

namespace Vantrell {

class CoinCatalog;
class CoinLogoStore;
class SettingsViewModel;

// Keeps the logo store holding the logos of exactly the watchlist's coins:
// synced once at start and again whenever the watched coins change.
class WatchlistLogoSync final : public QObject
{
    Q_OBJECT

public:
    WatchlistLogoSync(
        CoinLogoStore &store, SettingsViewModel &settings, const CoinCatalog &catalog, QObject *parent = nullptr);

private:
    void sync(const AppSettings &settings);

    CoinLogoStore &m_store;
    const CoinCatalog &m_catalog;
    std::optional<QStringList> m_synced;
};

} // namespace Vantrell
