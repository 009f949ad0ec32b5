// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/coinmetadata.h"
#include "market/holdings.h"
#include "settings/appsettings.h"
#include "settings/pricecolors.h"

#include <QString>

namespace Vantrell {

// The colour a row text is drawn in.
enum class RowTextRole {
    // The secondary label colour ("--", the delisted label).
    secondary,
    // The text's price colour; a neutral one is the primary label colour.
    price,
};

// One right-hand text of a popover row.
struct RowText
{
    QString text;
    RowTextRole role = RowTextRole::secondary;
    PriceColor color = PriceColor::neutral();

    bool operator==(const RowText &) const = default;
};

// The price: "--" without a usable price, else the price in the settings'
// currency without its symbol, coloured by the 24-hour change. A coin that is
// no longer active keeps showing its last price.
RowText priceText(const Coin &coin, const AppSettings &settings);

// The 24-hour change: the delisted label for a coin that is not active, nothing
// without a usable change, else "+1.23%" / "-0.50%" coloured by the change.
RowText changeText(const Coin &coin, const AppSettings &settings);

// The value of the coin's holding under its price: the holding (from the
// settings' watchlist entry) times the price, with the currency symbol, in
// the secondary colour, "••••" while balances are hidden; empty without a
// holding above 0 or without a usable price.
RowText holdingValueText(const Coin &coin, const AppSettings &settings);

// The holdings block under the popover header.
struct HoldingsHeader
{
    // Shown only while some coin is held.
    bool visible = false;
    // The total value ("$36,000"), "--" while no held coin has a price.
    QString total;
    // "+$588 (+2.00%) today", coloured by the change; empty without a change.
    RowText today;
    // "+$5,000 (+20.00%) vs. cost", coloured by its sign; empty without costs.
    RowText gain;
    // "3 of 4 coins priced" while some held coin has no price; else empty.
    QString priced;

    // The block's height: none while hidden, a line more with a gain.
    int height() const;

    bool operator==(const HoldingsHeader &) const = default;
};

// What the header shows of `totals` under `settings` (currency, colours and
// hidden balances: amounts become "••••", percentages stay).
HoldingsHeader holdingsHeader(const HoldingsTotals &totals, const AppSettings &settings);

} // namespace Vantrell
