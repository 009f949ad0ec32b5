// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "alerts/pricealertnotifying.h"

#include <QList>

namespace Vantrell::Test {

// Remembers every alert handed to it.
class RecordingNotifier final : public PriceAlertNotifying
{
public:
    struct Alert
    {
        Coin coin;
        CoinAlertKind kind;
        BaseCurrency currency;
        double threshold;
        double change;
        double usdToTargetRate;
    };

    void notify(const Coin &coin, CoinAlertKind kind, BaseCurrency currency, double threshold, double change,
        double usdToTargetRate) override
    {
        alerts.append({coin, kind, currency, threshold, change, usdToTargetRate});
    }

    QList<Alert> alerts;
};

} // namespace Vantrell::Test
