// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktopoverlayview.h"

#include "desktopoverlaymodel.h"
#include "widgetkit/widgetviews.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace Vantrell {

DesktopOverlayLook DesktopOverlayLook::of(const DesktopOverlayModel &model, bool compositing)
{
    DesktopOverlayLook look;
    const double opacity = std::clamp(model.backgroundOpacity(), 0.0, 1.0);
    if (compositing)
        look.backdropOpacity = model.isAdjusting() ? std::max(minimumAdjustingOpacity, opacity) : opacity;
    look.legibility = compositing && !model.isAdjusting() && opacity < legibilityBelow;
    look.textBoost = model.textSize() == DesktopOverlayTextSize::large ? 2 : 0;
    return look;
}

void paintDesktopOverlay(QPainter &painter, const QRectF &rect, const DesktopOverlayModel &model, const QDateTime &now,
    bool compositing, const QPalette &palette, WidgetResources &resources)
{
    const DesktopOverlayLook look = DesktopOverlayLook::of(model, compositing);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);

    QPainterPath shape;
    shape.addRoundedRect(rect, DesktopOverlayLook::cornerRadius, DesktopOverlayLook::cornerRadius);
    QColor backdrop = palette.color(QPalette::Window);
    backdrop.setAlphaF(float(look.backdropOpacity));
    painter.fillPath(shape, backdrop);
    painter.setClipPath(shape);

    WidgetEnvironment environment = WidgetEnvironment::fromPalette(palette, look.textBoost, look.legibility);
    if (look.legibility)
        environment.textColor = Qt::white;
    const QRectF list = rect.adjusted(DesktopOverlayLook::padding, DesktopOverlayLook::padding,
        -DesktopOverlayLook::padding, -DesktopOverlayLook::padding);
    WidgetListView::paint(painter, list, model.content(), now, true, resources, environment);

    if (model.isAdjusting()) {
        painter.setClipping(false);
        QPen border(palette.color(QPalette::Highlight), 2);
        border.setDashPattern({3, 2}); // 6 on, 4 off, in units of the 2-pixel width
        painter.setPen(border);
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(
            rect.adjusted(1, 1, -1, -1), DesktopOverlayLook::cornerRadius - 1, DesktopOverlayLook::cornerRadius - 1);
    }
    painter.restore();
}

} // namespace Vantrell
