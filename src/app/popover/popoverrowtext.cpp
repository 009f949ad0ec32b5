// SPDX-License-Identifier: GPL-3.0-or-later
#include "popoverrowtext.h"

#include "i18n/localizationmanager.h"
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

} // namespace Vantrell
