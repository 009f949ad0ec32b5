// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "result.h"
#include "settings/settingsenums.h"
#include "tickerquote.h"

#include <QStringList>

namespace Vantrell {

// Turns coin symbols and a display currency into one PriceSnapshot.
class PriceServicing
{
public:
    virtual ~PriceServicing() = default;
    // Symbols are catalog symbols (any case). The snapshot may hold fewer
    // symbols than asked for. Fails with badURL for an empty list and with
    // cannotLoadFromNetwork when every exchange failed or was skipped.
    virtual CancelHandle fetchPrices(
        const QStringList &symbols, BaseCurrency currency, Completion<PriceSnapshot> completion)
        = 0;
};

// The USD → display-currency rate.
class ExchangeRateServicing
{
public:
    virtual ~ExchangeRateServicing() = default;
    virtual CancelHandle usdRate(BaseCurrency currency, Completion<double> completion) = 0;
};

} // namespace Vantrell
