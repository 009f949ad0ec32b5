// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "statusitem.h"

#include <QColor>
#include <QImage>
#include <QPalette>
#include <QString>

#include <memory>
#include <optional>

class QSvgRenderer;

namespace Vantrell {

// Draws what a tray item shows for a StatusPresentation: the title as a wide
// image, the price as a square icon, a small square icon to go beside a text
// label, and the logo. Pure:
// the same input gives the same pixels; nothing is shown or cached here.
//
// `panelTextColor` is the colour of the panel's own text (which the neutral
// price colour and a plain title use): a guess, see panelTextColor().
class StatusTitleRenderer final
{
public:
    // `logoPath`: the monochrome logo (SVG or PNG), drawn as a template: only
    // its alpha counts, the colour is given when drawing. None or unreadable:
    // there is no logo and logo images are null.
    explicit StatusTitleRenderer(const std::optional<QString> &logoPath);
    ~StatusTitleRenderer();
    StatusTitleRenderer(const StatusTitleRenderer &) = delete;
    StatusTitleRenderer &operator=(const StatusTitleRenderer &) = delete;

    bool hasLogo() const;

    // The logo in `color`, centred in a square of `size` pixels.
    QImage logoImage(int size, const QColor &color) const;

    // The title `height` pixels high and as wide as its text: the text in its
    // colour over the background with its rounding, as the presentation says.
    // An icon presentation gives the logo.
    QImage titleImage(const StatusPresentation &presentation, int height, const QColor &panelTextColor) const;

    // The square icon of trays that show nothing else: the coin's symbol over
    // its compact price (see formatCompactPrice()) filling the square in the
    // title's colours and background; below 20 pixels, or without a symbol,
    // the price alone with 2 significant digits. A presentation without a
    // price gives the logo.
    QImage priceIconImage(const StatusPresentation &presentation, int size, const QColor &panelTextColor) const;

    // The square icon beside a text label: a dot in the title's price colour,
    // or the logo when the title has no price colour (or is an icon).
    QImage indicatorImage(const StatusPresentation &presentation, int size, const QColor &panelTextColor) const;

private:
    std::unique_ptr<QSvgRenderer> m_svg;
    QImage m_raster;
};

// The price colour a title stands for, when it has one: its background when it
// has a coloured one, else its coloured text. Achromatic colours (white, black,
// greys) are the appearance-driven colours of a title with price colours off.
std::optional<QColor> priceColorOf(const StatusPresentation &presentation);

struct TrayToolTip
{
    QString title;
    QString text;

    bool operator==(const TrayToolTip &) const = default;
};

// Tooltip: for a title, the title text ("BTC 97,342") over the coin's name and
// 24-hour change ("Bitcoin +2.31%"); for the icon, `applicationTitle` alone.
// Stale prices add a line that says so, with the time of the last one; held
// coins add the holdings line.
TrayToolTip statusToolTip(const StatusPresentation &presentation, const QString &applicationTitle);

// The widest text of the label's shape (every digit an "8"), which panels use
// to reserve room so that the label does not jitter as the price changes.
QString labelGuide(const QString &label);

// Whether the palette's window colour is dark. Tray items cannot ask the panel
// for its colours, so the application palette (usually following the desktop
// theme) stands in for the panel: a guess.
bool paletteLooksDark(const QPalette &palette);

// Text colour of a panel that is dark or light.
QColor panelTextColor(bool darkPanel);

} // namespace Vantrell
