// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/coinmetadata.h"
#include "settings/settingsenums.h"

namespace Vantrell {

// Delivers a price alert that the coin list decided is due.
class PriceAlertNotifying
{
public:
    virtual ~PriceAlertNotifying() = default;

    // `coin` carries its just-updated live fields; `threshold` is the entry's
    // threshold as stored (USD for above/below, percent for change); `change`
    // is the signed percentage move since the reference price; `usdToTargetRate`
    // is the rate of the applied snapshot. Returns at once; delivery is
    // asynchronous. Main thread only.
    virtual void notify(const Coin &coin, CoinAlertKind kind, BaseCurrency currency, double threshold, double change,
        double usdToTargetRate)
        = 0;
};

} // namespace Vantrell
