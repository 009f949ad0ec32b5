// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPixmap>
#include <QRectF>

class QPainter;

namespace Vantrell {

// The popover's icons.
enum class PopoverIcon {
    settings, // a gear
    quit, // a power symbol
    updateAvailable, // a filled circle with an arrow pointing down
    coin, // a coin with the bitcoin sign, for the empty watchlist
    warning, // a triangle with an exclamation mark
    balancesShown, // an open eye: balances are shown, pressing hides them
    balancesHidden, // a struck-through eye
};

// `icon` at `size` x `size` logical pixels, in one colour: the desktop icon
// theme's symbolic icon tinted with `color` when the theme has one, else our
// own drawing.
QPixmap popoverIconPixmap(PopoverIcon icon, int size, const QColor &color, qreal devicePixelRatio);

// Draws our own version of `icon`, filling `rect`.
void drawPopoverIcon(QPainter &painter, PopoverIcon icon, const QRectF &rect, const QColor &color);

} // namespace Vantrell
