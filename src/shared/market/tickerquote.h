// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>

#include <optional>

namespace Vantrell {

// The last USD (USDT) price of one coin on one exchange and its 24-hour change.
struct TickerQuote
{
    double priceUsd = 0;
    // Percent (2.5 means +2.5 %); empty when the exchange's value is unreadable.
    std::optional<double> change24hPercent;

    bool operator==(const TickerQuote &) const = default;
};

// Upper-case coin symbol → quote.
using QuoteMap = QHash<QString, TickerQuote>;

// The result of one whole price fetch, in the display currency.
struct PriceSnapshot
{
    QHash<QString, double> prices;
    // A symbol without a readable change is absent here but present in prices.
    QHash<QString, double> changes24h;
    double usdToTargetRate = 1.0;
    // Symbol → name of the exchange that gave its price ("okx"); USDT, whose
    // price is fixed, has none.
    QHash<QString, QString> sources;

    bool operator==(const PriceSnapshot &) const = default;
};

} // namespace Vantrell
