// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "appsettings.h"

#include <QColor>
#include <QPalette>

#include <optional>

namespace Vantrell {

// The fixed rise and fall colours (sRGB, opaque).
inline const QColor kRiseGreen = QColor(0x2C, 0xBD, 0x84);
inline const QColor kFallRed = QColor(0xF6, 0x46, 0x5D);

// A price colour: either a concrete colour or the neutral label colour, which
// each view maps to its own palette (text colour of the panel, popover, …).
class PriceColor final
{
public:
    static PriceColor neutral() { return PriceColor(); }
    static PriceColor of(const QColor &color) { return PriceColor(color); }

    bool isNeutral() const { return !m_color.has_value(); }
    // The concrete colour, or `neutralColor` for the neutral one.
    QColor resolved(const QColor &neutralColor) const { return m_color.value_or(neutralColor); }
    QColor resolved(const QPalette &palette) const { return resolved(palette.color(QPalette::WindowText)); }

    bool operator==(const PriceColor &other) const = default;

private:
    PriceColor() = default;
    explicit PriceColor(const QColor &color)
        : m_color(color)
    { }

    std::optional<QColor> m_color;
};

// "#RRGGBB" or "RRGGBB", surrounding white space ignored; anything else gives
// no colour.
std::optional<QColor> parseHexColor(const QString &text);

// "#RRGGBB" in upper case for `color` in sRGB; each channel is its component
// × 255 truncated, not rounded (0.999 gives FE).
QString hexString(const QColor &color);

// WCAG's relative luminance of an opaque sRGB colour, 0 (black) to 1 (white).
double relativeLuminance(const QColor &color);

// WCAG's contrast ratio of two opaque colours, 1 to 21, whichever is lighter.
double contrastRatio(const QColor &a, const QColor &b);

// The contrast a price colour keeps against the panel behind it: WCAG's level
// for text, since a panel's price is small text.
inline constexpr double kPanelTextContrast = 4.5;

// `color` with its hue and saturation kept and its lightness moved away from
// `background` (darker on a light background, lighter on a dark one) just far
// enough for `minimumRatio`, or as far as it goes (black or white). A colour
// that already has the contrast comes back unchanged. Pure.
QColor withContrast(const QColor &color, const QColor &background, double minimumRatio = kPanelTextContrast);

// The panels a colour "on a light panel" and "on a dark panel" is made for:
// the light and dark panels nearest to the middle that desktops ship (Breeze's
// light panel is #EFF0F1, Breeze Dark's #31363B, GNOME's top bar near black),
// so that the colour keeps its contrast on the others too.
inline const QColor kLightPanelReference = QColor(0xE0, 0xE0, 0xE0);
inline const QColor kDarkPanelReference = QColor(0x3A, 0x3A, 0x3A);

// `color` as panel text on a light or a dark panel: withContrast() against
// the reference panel.
QColor colorOnPanel(const QColor &color, bool darkPanel);

// Colour of a rise and of a fall under the settings' scheme.
QColor upColor(const AppSettings &settings);
QColor downColor(const AppSettings &settings);

// The colour for a 24-hour change: rise for >= 0, fall for < 0, neutral when
// colouring is off or no change is known.
PriceColor colorForChange(const AppSettings &settings, std::optional<double> change);

} // namespace Vantrell
