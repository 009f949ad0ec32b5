// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/settingsenums.h"
#include "widgetkit/widgetcontent.h"

#include <QObject>

#include <functional>

namespace Vantrell {

// What the overlay view draws; the controller fills it, the view repaints on
// every change. Main thread only.
class DesktopOverlayModel final : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    const WidgetEntryContent &content() const { return m_content; }
    bool isAdjusting() const { return m_isAdjusting; }
    double backgroundOpacity() const { return m_backgroundOpacity; }
    DesktopOverlayTextSize textSize() const { return m_textSize; }

    // Each setter emits changed() only when the value differs, so an unchanged
    // price list costs no repaint.
    void setContent(const WidgetEntryContent &content);
    void setAdjusting(bool adjusting);
    void setBackgroundOpacity(double opacity);
    void setTextSize(DesktopOverlayTextSize textSize);

    // The view's Done button.
    std::function<void()> onDoneAdjusting = [] {};

Q_SIGNALS:
    void changed();

private:
    WidgetEntryContent m_content;
    bool m_isAdjusting = false;
    double m_backgroundOpacity = 1.0;
    DesktopOverlayTextSize m_textSize = DesktopOverlayTextSize::normal;
};

// The overlay's window as the controller sees it; the real one is
// DesktopOverlayWindow, tests use a fake.
class DesktopOverlaySurface
{
public:
    virtual ~DesktopOverlaySurface() = default;

    // In Qt's global logical coordinates.
    virtual QRect frame() const = 0;
    virtual void setFrame(const QRect &frame) = 0;
    virtual bool isShown() const = 0;
    // Shows the window on the desktop layer: below other windows, click-through, never focused.
    virtual void showPassive() = 0;
    // Adjust mode: above other windows, movable, focused.
    virtual void showAdjusting() = 0;
    virtual void hide() = 0;
};

} // namespace Vantrell
