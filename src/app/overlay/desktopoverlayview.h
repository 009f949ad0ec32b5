// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QPalette>
#include <QRectF>

class QPainter;

namespace Vantrell {

class DesktopOverlayModel;
class WidgetResources;

// How the overlay shows over the desktop, decided from the user's backdrop
// opacity alone (the wallpaper is never sampled). Pure.
struct DesktopOverlayLook
{
    static constexpr qreal cornerRadius = 22;
    static constexpr qreal padding = 14;
    static constexpr double minimumAdjustingOpacity = 0.6;
    static constexpr double legibilityBelow = 0.2;

    // The backdrop's opacity: the user's, at least 0.6 while adjusting so the
    // panel can be found and grabbed, and opaque without a compositor, where a
    // translucent window would turn black.
    double backdropOpacity = 1;
    // White text with halos, for a backdrop too faint to carry the system's colours.
    bool legibility = false;
    qreal textBoost = 0;

    static DesktopOverlayLook of(const DesktopOverlayModel &model, bool compositing);
};

// Paints the overlay into `rect`: the rounded backdrop, the watchlist with
// the large layout, and the dashed accent border while adjusting. The adjust
// panel is a child widget of the window.
void paintDesktopOverlay(QPainter &painter, const QRectF &rect, const DesktopOverlayModel &model, const QDateTime &now,
    bool compositing, const QPalette &palette, WidgetResources &resources);

} // namespace Vantrell
