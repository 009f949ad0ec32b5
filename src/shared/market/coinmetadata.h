// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <cmath>
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

// A coin's last 24 hours in the display currency: one value per 15 minutes,
// oldest first, the last one the live price; NaN marks a slot without a price.
// Empty when there is none.
struct PriceHistory24h
{
    QList<double> values;

    bool isEmpty() const { return values.isEmpty(); }
    // Gaps equal gaps, so that an unchanged series compares equal.
    bool operator==(const PriceHistory24h &other) const
    {
        if (values.size() != other.values.size())
            return false;
        for (qsizetype i = 0; i < values.size(); ++i) {
            const double a = values.at(i);
            const double b = other.values.at(i);
            if (a != b && !(std::isnan(a) && std::isnan(b)))
                return false;
        }
        return true;
    }
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
    PriceHistory24h history24h;

    static Coin fromMetadata(const CoinMetadata &metadata)
    {
        return Coin {metadata.id, metadata.symbol, metadata.name, metadata.rank, metadata.logoAssetName,
            metadata.logoURL, metadata.status, {}, {}, {}, {}};
    }

    bool operator==(const Coin &) const = default;
};

} // namespace Vantrell
