// SPDX-License-Identifier: GPL-3.0-or-later
#include "pricealerttext.h"

#include "i18n/localizationmanager.h"
#include "i18n/stringbundle.h"
#include "widgetkit/priceformatter.h"

#include <charconv>
#include <cmath>

namespace Vantrell {

PriceAlertText priceAlertText(const Coin &coin, CoinAlertKind kind, BaseCurrency currency, double threshold,
    double change, double usdToTargetRate, const StringBundle &strings)
{
    PriceAlertText result;
    result.title = substituteArguments(strings.string(QStringLiteral("notification.priceAlert.title")), {coin.name});

    const QString price = coin.currentPrice ? formatPrice(*coin.currentPrice) : QStringLiteral("--");
    const QString thresholdText
        = formatPrice(usdToTargetRate > 0 ? threshold * usdToTargetRate : threshold, currency, true);

    switch (kind) {
    case CoinAlertKind::above:
        result.text = substituteArguments(
            strings.string(QStringLiteral("notification.priceAlert.above")), {coin.symbol, thresholdText, price});
        break;
    case CoinAlertKind::below:
        result.text = substituteArguments(
            strings.string(QStringLiteral("notification.priceAlert.below")), {coin.symbol, thresholdText, price});
        break;
    case CoinAlertKind::change: {
        const QString direction = isRise(change) ? strings.string(QStringLiteral("notification.direction.up"))
                                                 : strings.string(QStringLiteral("notification.direction.down"));
        const QString percent = formatChangeMagnitude(change);
        result.text = substituteArguments(
            strings.string(QStringLiteral("notification.priceAlert.change")), {coin.symbol, direction, percent, price});
        break;
    }
    case CoinAlertKind::notSet:
        result.text = substituteArguments(
            strings.string(QStringLiteral("notification.priceAlert.notSet")), {coin.symbol, price});
        break;
    }
    return result;
}

QString priceAlertIdentifier(const QString &coinId, const QDateTime &time)
{
    const double seconds = double(time.toMSecsSinceEpoch()) / 1000.0;
    char buffer[64];
    // Shortest fixed-point text that reads back to the same double.
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, seconds, std::chars_format::fixed);
    const QString number = error == std::errc() ? QString::fromLatin1(buffer, end - buffer) : QString::number(seconds);
    return QStringLiteral("price-alert-") + coinId + QLatin1Char('-') + number;
}

} // namespace Vantrell
