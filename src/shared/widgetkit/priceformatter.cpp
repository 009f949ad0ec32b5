// SPDX-License-Identifier: GPL-3.0-or-later
#include "priceformatter.h"

#include "i18n/localizationmanager.h"

#include <QLocale>
#include <QTime>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string_view>
#include <tuple>
#include <utility>

namespace Vantrell {

namespace {

// The shortest text that reads back to `value`, for values that have no number
// form. The sign of a NaN means nothing, so there is one text for all of them.
QString shortestText(double value)
{
    if (std::isnan(value))
        return QStringLiteral("nan");
    std::array<char, 32> buffer {};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return QString::fromLatin1(buffer.data(), ec == std::errc {} ? end - buffer.data() : 0);
}

QString format(double value, int minimumFractionDigits, int maximumFractionDigits, bool grouping = true)
{
    if (!std::isfinite(value))
        return shortestText(value);

    // Fixed notation rounds the double's exact binary value, ties to even, and
    // unlike printf never looks at the C locale. The largest double has 309
    // integer digits.
    std::array<char, 330> buffer {};
    const auto [end, ec] = std::to_chars(
        buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, maximumFractionDigits);
    if (ec != std::errc {})
        return shortestText(value);
    std::string_view number(buffer.data(), end - buffer.data());

    const bool negative = number.front() == '-';
    if (negative)
        number.remove_prefix(1);
    const std::size_t point = number.find('.');
    const std::string_view integerPart = number.substr(0, point);
    std::string_view fractionPart = point == std::string_view::npos ? std::string_view() : number.substr(point + 1);
    while (fractionPart.size() > std::size_t(minimumFractionDigits) && fractionPart.back() == '0')
        fractionPart.remove_suffix(1);

    QString text;
    text.reserve(int(integerPart.size() + integerPart.size() / 3 + fractionPart.size() + 2));
    // No "-0": a price that rounds to zero is shown as zero.
    if (negative && number.find_first_not_of("0.") != std::string_view::npos)
        text.append(QLatin1Char('-'));
    for (std::size_t i = 0; i < integerPart.size(); ++i) {
        if (grouping && i > 0 && (integerPart.size() - i) % 3 == 0)
            text.append(QLatin1Char(','));
        text.append(QLatin1Char(integerPart[i]));
    }
    if (!fractionPart.empty()) {
        text.append(QLatin1Char('.'));
        text.append(QLatin1String(fractionPart.data(), qsizetype(fractionPart.size())));
    }
    return text;
}

// "%.2f" that never looks at the C locale: rounds the double's exact binary
// value, ties to even, as printf does.
QString twoDecimals(double value)
{
    std::array<char, 330> buffer {};
    const auto [end, ec]
        = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, 2);
    return ec == std::errc {} ? QString::fromLatin1(buffer.data(), end - buffer.data()) : QString();
}

// `value` (finite, above 0) rounded to `digits` significant digits: the digits
// and the decimal exponent of the first one ("8.20e-02" gives "820", -2).
std::pair<QString, int> significant(double value, int digits)
{
    std::array<char, 48> buffer {};
    const auto [end, ec]
        = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::scientific, digits - 1);
    const std::string_view text(buffer.data(), ec == std::errc {} ? end - buffer.data() : 0);
    const std::size_t e = text.find('e');
    if (e == std::string_view::npos)
        return {};
    QString mantissa;
    for (const char c : text.substr(0, e)) {
        if (c != '.')
            mantissa.append(QLatin1Char(c));
    }
    int exponent = 0;
    const char *from = text.data() + e + 1;
    if (*from == '+')
        ++from;
    std::from_chars(from, text.data() + text.size(), exponent);
    return {mantissa, exponent};
}

// How many significant digits fit for a number whose first digit has the
// decimal exponent `exponent`: all integer digits (up to the suffix) at least.
int digitsFor(int exponent, int wanted)
{
    if (exponent >= 0) {
        const int integerDigits = exponent >= 3 ? exponent - 3 * std::min(exponent / 3, 4) + 1 : exponent + 1;
        return std::max(wanted, integerDigits);
    }
    // Below 0.01 the zeros after the point take the room of a third digit.
    return exponent <= -3 ? std::min(wanted, 2) : wanted;
}

QString subscriptNumber(int number)
{
    QString text;
    for (const QChar digit : QString::number(number))
        text.append(QChar(0x2080 + digit.digitValue()));
    return text;
}

struct FractionDigits
{
    int minimum;
    int maximum;
};

// The list rule: 4 to 6 fraction digits below 1, exactly 2 below 100, none from 100 on.
FractionDigits listFractionDigits(double magnitude)
{
    if (magnitude < 1)
        return {4, 6};
    const int digits = magnitude < 100 ? 2 : 0;
    return {digits, digits};
}

} // namespace

QString formatCompactPrice(double value, int significantDigits)
{
    if (!std::isfinite(value))
        return shortestText(value);
    if (value < 0) {
        const QString magnitude = formatCompactPrice(-value, significantDigits);
        return magnitude == QLatin1String("0") ? magnitude : QLatin1Char('-') + magnitude;
    }
    if (value == 0)
        return QStringLiteral("0");
    const int wanted = std::clamp(significantDigits, 1, 6);

    // Rounding may carry into the next magnitude (999.6 to "1.00k"), which
    // changes how many digits fit: round again with that count.
    auto [digits, exponent] = significant(value, wanted);
    const int fitting = digitsFor(exponent, wanted);
    if (fitting != wanted)
        std::tie(digits, exponent) = significant(value, fitting);
    if (digits.isEmpty())
        return shortestText(value);

    if (exponent < 0) {
        const int zeros = -exponent - 1;
        if (zeros >= 3)
            return QStringLiteral(".0") + subscriptNumber(zeros) + digits;
        return QLatin1Char('.') + QString(zeros, QLatin1Char('0')) + digits;
    }
    static constexpr char kSuffixes[] = {'\0', 'k', 'M', 'B', 'T'};
    const int group = exponent >= 3 ? std::min(exponent / 3, 4) : 0;
    const int integerDigits = exponent - 3 * group + 1;
    QString text = digits.left(integerDigits);
    if (digits.size() > integerDigits)
        text += QLatin1Char('.') + digits.mid(integerDigits);
    if (group > 0)
        text += QLatin1Char(kSuffixes[group]);
    return text;
}

QString formatPrice(double value)
{
    const int maximumFractionDigits = value < 1 ? 4 : value < 100 ? 2 : 0;
    return format(value, 0, maximumFractionDigits);
}

QString formatPrice(double value, BaseCurrency currency, bool includeSymbol)
{
    const FractionDigits digits = listFractionDigits(value);
    const QString number = format(value, digits.minimum, digits.maximum);
    return includeSymbol ? currencySymbol(currency) + number : number;
}

QString formatHoldingsAmount(double value, BaseCurrency currency, bool hidden)
{
    return hidden ? hiddenAmount() : formatPrice(value, currency, true);
}

QString formatHoldingsChange(double value, BaseCurrency currency, bool hidden)
{
    if (hidden)
        return hiddenAmount();
    const double magnitude = std::fabs(value);
    return (isRise(value + 0.0) ? QStringLiteral("+") : QStringLiteral("-")) + formatPrice(magnitude, currency, true);
}

QString formatEditablePrice(double value, double magnitude)
{
    const FractionDigits digits = listFractionDigits(magnitude);
    return format(value, digits.minimum, digits.maximum, false);
}

QString formatEditableNumber(double value, int maximumFractionDigits)
{
    return format(value, 0, maximumFractionDigits, false);
}

QString formatChangePercent(double percent)
{
    if (!std::isfinite(percent))
        return {};
    // Adding 0.0 turns -0.0 into 0.0, which would otherwise print as "+-0.00%".
    const double value = percent + 0.0;
    return (isRise(value) ? QStringLiteral("+") : QString()) + twoDecimals(value) + QLatin1Char('%');
}

QString formatChangeMagnitude(double percent)
{
    if (!std::isfinite(percent))
        return {};
    return twoDecimals(std::fabs(percent)) + QLatin1Char('%');
}

QString currencySymbol(BaseCurrency currency)
{
    switch (currency) {
    case BaseCurrency::usd:
    case BaseCurrency::sgd:
    case BaseCurrency::aud:
    case BaseCurrency::cad:
        return QStringLiteral("$");
    case BaseCurrency::cny:
    case BaseCurrency::jpy:
        return QStringLiteral("¥");
    case BaseCurrency::krw:
        return QStringLiteral("₩");
    case BaseCurrency::hkd:
        return QStringLiteral("HK$");
    case BaseCurrency::twd:
        return QStringLiteral("NT$");
    case BaseCurrency::myr:
        return QStringLiteral("RM");
    case BaseCurrency::eur:
        return QStringLiteral("€");
    case BaseCurrency::gbp:
        return QStringLiteral("£");
    }
    return QStringLiteral("$");
}

// Qt's short format for Taiwan uses a day-period field it cannot print ("B3:04").
QString shortTime(const QTime &time, AppLanguage language)
{
    switch (LocalizationManager::resolvedLanguage(language)) {
    case AppLanguage::zhHans:
        return time.toString(QStringLiteral("HH:mm"));
    case AppLanguage::zhHant:
        return QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan)
            .toString(time, QStringLiteral("APh:mm"));
    case AppLanguage::en:
    case AppLanguage::system:
        break;
    }
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(time, QStringLiteral("h:mm AP"));
}

} // namespace Vantrell
