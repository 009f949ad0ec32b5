// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/coinmetadata.h"
#include "settings/settingsenums.h"

#include <QDateTime>
#include <QString>

namespace Vantrell {

class StringBundle;

// What a price alert says.
struct PriceAlertText
{
    QString title;
    QString text;

    bool operator==(const PriceAlertText &) const = default;
};

// The title and text of a price alert in the language of `strings`; the
// arguments are those of PriceAlertNotifying::notify(). The threshold is shown
// in `currency` (converted with `usdToTargetRate` when that is positive), the
// price as a bare number, the change as its absolute value with two decimals.
PriceAlertText priceAlertText(const Coin &coin, CoinAlertKind kind, BaseCurrency currency, double threshold,
    double change, double usdToTargetRate, const StringBundle &strings);

// "price-alert-<coin id>-<seconds since 1970, shortest round-trip decimal>",
// e.g. price-alert-bitcoin-1733612345.678.
QString priceAlertIdentifier(const QString &coinId, const QDateTime &time);

} // namespace Vantrell
