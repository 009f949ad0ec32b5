// SPDX-License-Identifier: GPL-3.0-or-later
#include "alertthreshold.h"

#include "market/decimal.h"
#include "widgetkit/priceformatter.h"

#include <algorithm>
#include <cmath>

namespace Vantrell {

namespace {

constexpr double abovePriceFactor = 1.02;
constexpr double belowPriceFactor = 0.98;
constexpr double defaultChangeThreshold = 2.0;

bool isPriceKind(CoinAlertKind kind)
{
    return kind == CoinAlertKind::above || kind == CoinAlertKind::below;
}

double limitedChangeThreshold(double percent)
{
    return std::clamp(percent, minimumChangeThreshold, maximumChangeThreshold);
}

} // namespace

double effectiveUsdRate(double usdToTargetRate)
{
    return usdToTargetRate > 0 && std::isfinite(usdToTargetRate) ? usdToTargetRate : 1.0;
}

int maximumTypedFractionDigits(CoinAlertKind kind)
{
    switch (kind) {
    case CoinAlertKind::above:
    case CoinAlertKind::below:
        return 8;
    case CoinAlertKind::change:
        return 6;
    case CoinAlertKind::notSet:
        return 0;
    }
    return 0;
}

QString filterDecimalInput(QStringView typed, int maximumFractionDigits)
{
    QString text;
    text.reserve(std::min<qsizetype>(typed.size(), maximumAlertTextLength));
    bool hasPoint = false;
    int fractionDigits = 0;
    for (const QChar c : typed) {
        if (text.size() == maximumAlertTextLength)
            break;
        if (c == QLatin1Char(',') || c == QLatin1Char('.')) {
            if (!hasPoint) {
                hasPoint = true;
                text.append(QLatin1Char('.'));
            }
        } else if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            if (hasPoint && fractionDigits++ >= maximumFractionDigits)
                continue;
            text.append(c);
        }
    }
    return text;
}

std::optional<double> parseDecimalInput(QStringView text)
{
    const QByteArray number = text.toString().replace(QLatin1Char(','), QLatin1Char('.')).trimmed().toLatin1();
    if (number.isEmpty())
        return std::nullopt;
    return readDecimal(std::string_view(number.constData(), number.size()));
}

QString filterAlertInput(QStringView typed, CoinAlertKind kind)
{
    return filterDecimalInput(typed, maximumTypedFractionDigits(kind));
}

std::optional<double> committedAlertValue(QStringView text, CoinAlertKind kind)
{
    if (kind == CoinAlertKind::notSet)
        return std::nullopt;
    const std::optional<double> value = parseDecimalInput(text);
    if (!value)
        return std::nullopt;
    return kind == CoinAlertKind::change ? limitedChangeThreshold(*value) : limitedPriceThreshold(*value);
}

double limitedPriceThreshold(double threshold)
{
    if (!(threshold > 0))
        return 1.0;
    return std::min(threshold, maximumPriceThreshold);
}

double displayedThreshold(const WatchlistCoin &entry, double usdToTargetRate)
{
    if (isPriceKind(entry.alertKind))
        return entry.notificationThreshold * effectiveUsdRate(usdToTargetRate);
    return entry.notificationThreshold;
}

double storedThreshold(CoinAlertKind kind, double displayValue, double usdToTargetRate)
{
    switch (kind) {
    case CoinAlertKind::above:
    case CoinAlertKind::below:
        return limitedPriceThreshold(displayValue / effectiveUsdRate(usdToTargetRate));
    case CoinAlertKind::change:
        return limitedChangeThreshold(displayValue);
    case CoinAlertKind::notSet:
        return std::max(displayValue, 0.0);
    }
    return displayValue;
}

double proposedThreshold(
    CoinAlertKind kind, double currentThreshold, std::optional<double> referencePrice, double usdToTargetRate)
{
    switch (kind) {
    case CoinAlertKind::notSet:
        return 0.0;
    case CoinAlertKind::change:
        return defaultChangeThreshold;
    case CoinAlertKind::above:
    case CoinAlertKind::below:
        break;
    }
    if (referencePrice && *referencePrice > 0) {
        const double factor = kind == CoinAlertKind::above ? abovePriceFactor : belowPriceFactor;
        return limitedPriceThreshold(*referencePrice * factor / effectiveUsdRate(usdToTargetRate));
    }
    return limitedPriceThreshold(currentThreshold);
}

QString alertFieldText(CoinAlertKind kind, double value, std::optional<double> referencePrice)
{
    switch (kind) {
    case CoinAlertKind::notSet:
        return {};
    case CoinAlertKind::change:
        return formatEditableNumber(value, maximumTypedFractionDigits(kind));
    case CoinAlertKind::above:
    case CoinAlertKind::below:
        break;
    }
    const double magnitude = referencePrice && *referencePrice > 0 ? *referencePrice : value;
    return formatEditablePrice(value, magnitude);
}

} // namespace Vantrell
