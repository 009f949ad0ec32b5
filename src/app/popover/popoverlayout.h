// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace Vantrell {

// Fixed measures of the popover, in logical pixels.
namespace PopoverMetrics {
inline constexpr int width = 320;
inline constexpr int headerHeight = 38;
// The holdings block under the header, while some coin is held: the total
// over the 24-hour move, and the gain against the costs when there is one.
inline constexpr int holdingsHeight = 44;
inline constexpr int holdingsWithGainHeight = 60;
inline constexpr int footerHeight = 52;
inline constexpr int rowHeight = 52;
inline constexpr int horizontalPadding = 16;
inline constexpr int cornerRadius = 12;
// Rows the list is sized for: fewer leave room for the empty state, more scroll.
inline constexpr int minimumVisibleRows = 4;
inline constexpr int maximumVisibleRows = 8;
// Distance kept from the panel and from the edges of the usable screen area.
inline constexpr int screenMargin = 6;
// The drop shadow: black at 14 %, blur radius 14, offset (0, 8).
inline constexpr int shadowRadius = 14;
inline constexpr int shadowOffsetY = 8;
inline constexpr double shadowOpacity = 0.14;
} // namespace PopoverMetrics

// 320 x (90 + 52 n) with n the coin count clamped to 4...8: 298 for up to four
// coins, 506 from eight on; the holdings block adds its height. An open chart
// (`openChartHeight`) gets room of its own under the rows shown, using what
// the list has left over first, so that it pushes no row out of view.
QSize popoverSize(int coinCount, int holdingsBlockHeight = 0, int openChartHeight = 0);

// Room a translucent popover window keeps around its content for the shadow.
QMargins popoverShadowMargins();

// Top-left corner of a popover of `size` opened from `anchor` (a click on the
// panel) on a screen with `screenGeometry` and `availableGeometry` (the screen
// without its panels). The side of the available area the anchor lies on tells
// where the panel is: the popover opens under a top panel, above a bottom panel
// and beside a left or right one, centred on the anchor along the panel. An
// anchor inside the available area (a panel that reserves no space, or the
// cursor) opens it below the anchor in the upper half of the screen and above
// it in the lower half. The result is kept `PopoverMetrics::screenMargin` inside
// the available area; when the popover is larger than that area its top-left
// corner stays visible.
QPoint popoverPlacement(QPoint anchor, QSize size, const QRect &screenGeometry, const QRect &availableGeometry);

// Index of the screen whose geometry contains `point`, else of the screen
// nearest to it; -1 without screens.
int screenIndexForPoint(QPoint point, const QList<QRect> &screenGeometries);

} // namespace Vantrell
