// SPDX-License-Identifier: GPL-3.0-or-later
// A small catalog and watchlists over it, for the tests of what is built from
// the watchlist (the tray menu, the catalog records).
#pragma once

#include "market/coinmetadata.h"
#include "settings/appsettings.h"

#include <QHash>
#include <QStringList>

#include <tuple>

namespace Vantrell::Test {

// Bitcoin, Ethereum and Solana by id.
inline QHash<QString, CoinMetadata> catalog()
{
    QHash<QString, CoinMetadata> byID;
    for (const auto &[id, symbol, name] : {std::tuple {"bitcoin", "BTC", "Bitcoin"},
             std::tuple {"ethereum", "ETH", "Ethereum"}, std::tuple {"solana", "SOL", "Solana"}}) {
        CoinMetadata record;
        record.id = QString::fromLatin1(id);
        record.symbol = QString::fromLatin1(symbol);
        record.name = QString::fromLatin1(name);
        byID.insert(record.id, record);
    }
    return byID;
}

// A watchlist of `ids` (without alerts) showing `displayed`.
inline AppSettings withWatchlist(const QStringList &ids, const QString &displayed)
{
    AppSettings settings;
    settings.watchlistCoins.clear();
    for (const QString &id : ids)
        settings.watchlistCoins.append(WatchlistCoin {id});
    settings.displayedCoinId = displayed;
    return settings;
}

} // namespace Vantrell::Test
