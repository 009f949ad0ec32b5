// SPDX-License-Identifier: GPL-3.0-or-later
#include "pricecolors.h"

namespace Vantrell {

std::optional<QColor> parseHexColor(const QString &text)
{
    QStringView hex = QStringView(text).trimmed();
    if (hex.startsWith(QLatin1Char('#')))
        hex = hex.mid(1);
    if (hex.size() != 6)
        return std::nullopt;
    uint rgb = 0;
    for (const QChar c : hex) {
        const char16_t u = c.unicode();
        uint digit = 0;
        if (u >= u'0' && u <= u'9')
            digit = u - u'0';
        else if (u >= u'a' && u <= u'f')
            digit = u - u'a' + 10;
        else if (u >= u'A' && u <= u'F')
            digit = u - u'A' + 10;
        else
            return std::nullopt;
        rgb = (rgb << 4) | digit;
    }
    return QColor::fromRgb((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

QColor upColor(const AppSettings &settings)
{
    switch (settings.colorScheme) {
    case PriceColorScheme::greenUpRedDown:
        return kRiseGreen;
    case PriceColorScheme::redUpGreenDown:
        return kFallRed;
    case PriceColorScheme::custom:
        return parseHexColor(settings.customUpColorHex).value_or(kRiseGreen);
    }
    return kRiseGreen;
}

QColor downColor(const AppSettings &settings)
{
    switch (settings.colorScheme) {
    case PriceColorScheme::greenUpRedDown:
        return kFallRed;
    case PriceColorScheme::redUpGreenDown:
        return kRiseGreen;
    case PriceColorScheme::custom:
        return parseHexColor(settings.customDownColorHex).value_or(kFallRed);
    }
    return kFallRed;
}

PriceColor colorForChange(const AppSettings &settings, std::optional<double> change)
{
    if (!settings.priceColorEnabled || !change)
        return PriceColor::neutral();
    return PriceColor::of(*change >= 0 ? upColor(settings) : downColor(settings));
}

} // namespace Vantrell
