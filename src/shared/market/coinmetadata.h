// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace Vantrell {

enum class CoinStatus { active, delisted, migrated };

// One record of the coin catalog.
struct CoinMetadata
{
    QString id;
    QString symbol;
    QString name;
    std::optional<qint64> rank;
    std::optional<QString> logoURL;
    CoinStatus status = CoinStatus::active;
    bool listed = true;
    std::optional<QString> migratedTo;
    // "coin-<id>" when the bundle has that image, else empty. Set by the catalog.
    QString logoAssetName;

    bool operator==(const CoinMetadata &) const = default;
};

// A catalog coin as the watchlist shows it, with the live fields the coin list fills in.
struct Coin
{
    QString id;
    QString symbol;
    QString name;
    std::optional<qint64> rank;
    QString logoAssetName;
    std::optional<QString> logoURL;
    CoinStatus status = CoinStatus::active;

    // In the display currency.
    std::optional<double> currentPrice;
    std::optional<double> priceChange24hPercent;
    std::optional<double> referencePrice;
    std::optional<QDateTime> lastUpdated;
    // The exchange that gave currentPrice, by its provider name ("okx"); empty
    // for a fixed price and before the first.
    QString priceSource;

    static Coin fromMetadata(const CoinMetadata &metadata)
    {
        return Coin {metadata.id, metadata.symbol, metadata.name, metadata.rank, metadata.logoAssetName,
            metadata.logoURL, metadata.status, {}, {}, {}, {}};
    }

    bool operator==(const Coin &) const = default;
};

} // namespace Vantrell
