// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/coinmetadata.h"
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

} // namespace Vantrell
