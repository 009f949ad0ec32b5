// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "market/holdings.h"
#include "settings/settingsenums.h"

#include <QString>

namespace Vantrell {

// "3 of 4 coins priced" while some held coin has no price; empty otherwise.
QString pricedCoinsText(const HoldingsTotals &totals);

// The holdings line of the tray tooltip, "Holdings: $12,346 (+2.10% today)",
// followed by " · 3 of 4 coins priced" while some held coin has no price;
// without a 24-hour change "Holdings: $12,346"; "--" for the amount while no
// held coin has a price, "••••" while balances are hidden. Empty when nothing
// is held.
QString holdingsToolTipLine(const HoldingsTotals &totals, BaseCurrency currency, bool hideBalances);

} // namespace Vantrell
