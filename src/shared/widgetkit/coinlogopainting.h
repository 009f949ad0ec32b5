// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>

class QPainter;

// Drawing of coin logos, shared by the application's views and the widget
// plug-in. Logos are round: images are stretched to the rectangle they are
// given and clipped to the circle inscribed in it.
namespace Vantrell {

// The placeholder badge's text size at a 32-pixel logo is 8 pixels.
inline constexpr qreal defaultPlaceholderFontRatio = 8.0 / 32.0;

// The text of the placeholder badge: the first three characters (as a reader
// counts them) of the symbol.
QString coinLogoPlaceholderText(const QString &symbol);

// Draws `image` stretched to `rect` and clipped to the circle inscribed in it.
// Draws nothing for a null image.
void paintCircularLogo(QPainter &painter, const QRectF &rect, const QImage &image);

// The badge shown when no logo image is at hand: the inscribed circle filled
// with `accent` at 15 % opacity and the placeholder text centred on it in a
// bold font of `fontSizeRatio` × the badge's side, in `accent`.
void paintCoinLogoPlaceholder(QPainter &painter, const QRectF &rect, const QString &symbol, const QColor &accent,
    qreal fontSizeRatio = defaultPlaceholderFontRatio);

} // namespace Vantrell
