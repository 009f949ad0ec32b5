// SPDX-License-Identifier: GPL-3.0-or-later
#include "pricecolors.h"

#include <algorithm>
#include <cmath>

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

double relativeLuminance(const QColor &color)
{
    const QColor rgb = color.toRgb();
    const auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor withContrast(const QColor &color, const QColor &background, double minimumRatio)
{
    if (contrastRatio(color, background) >= minimumRatio)
        return color;
    // Away from the background: towards black on a light one (luminance
    // above the middle grey's, where black and white contrast alike).
    const bool darken = relativeLuminance(background) > 0.179;
    const QColor hsl = color.toHsl();
    const double hue = hsl.hslHueF();
    const double saturation = hsl.hslSaturationF();
    const auto at = [&](double lightness) { return QColor::fromHslF(hue, saturation, lightness).toRgb(); };
    // Contrast grows monotonically with the distance in lightness: bisect for
    // the nearest lightness that reaches the ratio, in whole 8-bit steps.
    double near = hsl.lightnessF();
    double far = darken ? 0.0 : 1.0;
    if (contrastRatio(at(far), background) < minimumRatio)
        return at(far);
    for (int i = 0; i < 12; ++i) {
        const double middle = (near + far) / 2;
        (contrastRatio(at(middle), background) >= minimumRatio ? far : near) = middle;
    }
    // In whole 8-bit channels, as "#RRGGBB" carries it, one step further when
    // the rounding cost the last bit of contrast.
    const auto rounded = [&](double lightness) {
        const QColor c = at(std::clamp(lightness, 0.0, 1.0));
        return QColor(c.red(), c.green(), c.blue());
    };
    const QColor result = rounded(far);
    if (contrastRatio(result, background) >= minimumRatio)
        return result;
    return rounded(far + (darken ? -1.0 : 1.0) / 255.0);
}

QColor colorOnPanel(const QColor &color, bool darkPanel)
{
    return withContrast(color, darkPanel ? kDarkPanelReference : kLightPanelReference);
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
