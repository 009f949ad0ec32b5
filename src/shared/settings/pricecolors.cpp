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

QString hexString(const QColor &color)
{
    // From the 16-bit channels in whole numbers: a float product would turn
    // 44/255 into 43.99… and truncate a colour that was read from "#2C…".
    const QRgba64 rgb = color.toRgb().rgba64();
    const auto channel = [](quint16 component) { return int(quint32(component) * 255 / 65535); };
    return QString::asprintf("#%02X%02X%02X", channel(rgb.red()), channel(rgb.green()), channel(rgb.blue()));
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
