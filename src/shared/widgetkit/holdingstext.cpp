// SPDX-License-Identifier: GPL-3.0-or-later
#include "holdingstext.h"

#include "i18n/localizationmanager.h"
#include "priceformatter.h"

namespace Vantrell {

QString pricedCoinsText(const HoldingsTotals &totals)
{
    if (totals.allPriced())
        return {};
    return localizedString(QStringLiteral("holdings.pricedCount"),
        {QString::number(totals.pricedCoins), QString::number(totals.heldCoins)});
}

QString holdingsToolTipLine(const HoldingsTotals &totals, BaseCurrency currency, bool hideBalances)
{
    if (!totals.hasHoldings())
        return {};
    const QString amount = totals.pricedCoins == 0 ? QStringLiteral("--")
                                                   : formatHoldingsAmount(totals.totalValue, currency, hideBalances);
    const QString change = totals.change24hPercent ? formatChangePercent(*totals.change24hPercent) : QString();
    QString line = change.isEmpty() ? localizedString(QStringLiteral("tray.tooltip.holdingsNoChange"), {amount})
                                    : localizedString(QStringLiteral("tray.tooltip.holdings"), {amount, change});
    const QString priced = pricedCoinsText(totals);
    if (!priced.isEmpty())
        line += QStringLiteral(" · ") + priced;
    return line;
}

} // namespace Vantrell
