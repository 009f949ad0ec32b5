// SPDX-License-Identifier: GPL-3.0-or-later
#include "popoverrowtext.h"

#include "i18n/localizationmanager.h"
#include "popoverlayout.h"
#include "widgetkit/holdingstext.h"
#include "widgetkit/priceformatter.h"

#include <cmath>

namespace Vantrell {

namespace {

// A NaN or infinite value cannot come from an exchange; show it as unknown
// rather than as "nan".
std::optional<double> usable(std::optional<double> value)
{
    if (value && std::isfinite(*value))
        return value;
    return std::nullopt;
}

} // namespace

RowText priceText(const Coin &coin, const AppSettings &settings)
{
    const std::optional<double> price = usable(coin.currentPrice);
    if (!price)
        return {QStringLiteral("--"), RowTextRole::secondary, PriceColor::neutral()};
    const std::optional<double> change = usable(coin.priceChange24hPercent);
    return {formatPrice(*price, settings.baseCurrency, false), RowTextRole::price, colorForChange(settings, change)};
}

RowText changeText(const Coin &coin, const AppSettings &settings)
{
    if (coin.status != CoinStatus::active)
        return {localizedString(QStringLiteral("coin.status.delisted")), RowTextRole::secondary, PriceColor::neutral()};
    const std::optional<double> change = usable(coin.priceChange24hPercent);
    if (!change)
        return {QString(), RowTextRole::secondary, PriceColor::neutral()};
    return {formatChangePercent(*change), RowTextRole::price, colorForChange(settings, change)};
}

RowText holdingValueText(const Coin &coin, const AppSettings &settings)
{
    const std::optional<double> price = usable(coin.currentPrice);
    if (!price)
        return {};
    for (const WatchlistCoin &entry : settings.watchlistCoins) {
        if (entry.coinId != coin.id)
            continue;
        if (!entry.holding || !(*entry.holding > 0))
            return {};
        const double value = *entry.holding * *price;
        if (!std::isfinite(value))
            return {};
        return {formatHoldingsAmount(value, settings.baseCurrency, settings.hideBalances), RowTextRole::secondary,
            PriceColor::neutral()};
    }
    return {};
}

namespace {

// "+$588 (+2.00%)" with `key` around it, coloured as a change of `percent`.
RowText signedMove(const QString &key, double value, std::optional<double> percent, const AppSettings &settings)
{
    QString amount = formatHoldingsChange(value, settings.baseCurrency, settings.hideBalances);
    if (percent) {
        const QString text = formatChangePercent(*percent);
        if (!text.isEmpty())
            amount += QStringLiteral(" (") + text + QLatin1Char(')');
    }
    return {localizedString(key, {amount}), RowTextRole::price,
        colorForChange(settings, percent ? percent : std::optional<double>(value))};
}

} // namespace

int HoldingsHeader::height() const
{
    if (!visible)
        return 0;
    return gain.text.isEmpty() ? PopoverMetrics::holdingsHeight : PopoverMetrics::holdingsWithGainHeight;
}

HoldingsHeader holdingsHeader(const HoldingsTotals &totals, const AppSettings &settings)
{
    HoldingsHeader header;
    if (!totals.hasHoldings())
        return header;
    header.visible = true;
    header.total = totals.pricedCoins == 0
        ? QStringLiteral("--")
        : formatHoldingsAmount(totals.totalValue, settings.baseCurrency, settings.hideBalances);
    if (totals.change24hValue)
        header.today = signedMove(
            QStringLiteral("popover.holdings.today"), *totals.change24hValue, totals.change24hPercent, settings);
    if (totals.gainValue)
        header.gain
            = signedMove(QStringLiteral("popover.holdings.gain"), *totals.gainValue, totals.gainPercent, settings);
    header.priced = pricedCoinsText(totals);
    return header;
}

} // namespace Vantrell
